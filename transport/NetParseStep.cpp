#include "transport/NetParseStep.h"

#include "transport/NetLog.h"

NetParseResult NetParseStep(NetReceiveBuffer& buffer, NetReassembly& reassembly,
                            std::vector<std::unique_ptr<NetPacket>>& wholes,
                            std::vector<std::unique_ptr<NetMessage>>& messages) {
    constexpr int kRunFrames = 64;
    NetParseResult r;
    unsigned badTotal = 0;
    buffer.Peek([&](const uint8_t* data, size_t n) {
        r.seen = n;
        for (int f = 0; f < kRunFrames; ++f) {
            const uint8_t* p = data + r.used;
            const size_t left = n - r.used;
            if (left > 0 && p[0] != kNetSync) {
                r.stop = NetParseStop::Resync;
                return;
            }
            const int frame = NetPacket::FrameLength(p, left);
            if (frame == 0) {
                r.stop = NetParseStop::More;
                return;
            }
            // Decided either way, FrameLength saw a whole header.
            NetPacket::_HEADER head;
            kx::ReadRecord(p, left, head);
            if (frame < 0) {
                r.stop = NetParseStop::Bad;
                badTotal = head.frame.nTotal;
                return;
            }
            const int kind = head.frame.nKind;
            if (kind == kNetKindWhole) {
                wholes.push_back(std::make_unique<NetPacket>());
                wholes.back()->Read(p, left);
            } else if (kind == kNetKindPart) {
                std::unique_ptr<NetMessage> done;
                const int joined =
                    reassembly.Add(head.cmd, p + kNetHeaderSize, static_cast<size_t>(frame - kNetHeaderSize), done);
                if (joined < 0) ++r.dropped;
                if (joined > 0) messages.push_back(std::move(done));
                if (joined == NetReassembly::kRefused) {
                    r.used += static_cast<size_t>(frame);
                    r.stop = NetParseStop::Refused;
                    return;
                }
            } else {
                kx::NetLog("dropped a packet of kind %d", kind);
                ++r.dropped;
            }
            r.used += static_cast<size_t>(frame);
        }
    });
    if (r.used > 0) buffer.Consume(r.used);
    if (r.stop == NetParseStop::Resync) {
        // Keep-alive probes and anything else before a sync byte are skipped.
        buffer.SyncTo(kNetSync);
    } else if (r.stop == NetParseStop::Bad) {
        // Not a packet: drop its sync byte and look for the next one.
        kx::NetLog("dropped a frame header with total length %u", badTotal);
        ++r.dropped;
        buffer.Consume(1);
    }
    return r;
}
