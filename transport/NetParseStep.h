// NetParseStep: one step of a connection's parse thread, kept apart from the threads so that
// bytes can be taken through exactly the same path without a socket (the frame fuzzer does).
// A step cuts up to a run of frames from the front of the receive buffer: whole packets are
// copied out, message parts are checked and joined by the reassembly straight from the buffer,
// and the run is consumed in one go. Bytes before a sync byte are skipped and a header that
// describes no packet loses its sync byte, so the next step starts on the next candidate.
#pragma once

#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "transport/NetReassembly.h"
#include "transport/NetReceiveBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

enum class NetParseStop {
    Run,    // a whole run of frames was cut; more may follow at once
    More,   // the front frame is incomplete: wait for more bytes
    Resync, // bytes before the next sync byte were skipped
    Bad,    // a frame header described no packet: its sync byte was dropped
    Refused, // a message was refused (an untrusted peer announced too much): end the connection
};

struct NetParseResult {
    size_t seen = 0;  // valid bytes in the buffer when the step looked
    size_t used = 0;  // bytes of the frames handled (consumed)
    NetParseStop stop = NetParseStop::Run;
    uint64_t dropped = 0; // packets, parts and headers dropped as malformed
};

// Only the consuming thread of `buffer` calls it; wholes and messages get what was completed.
NetParseResult NetParseStep(NetReceiveBuffer& buffer, NetReassembly& reassembly,
                            std::vector<std::unique_ptr<NetPacket>>& wholes,
                            std::vector<std::unique_ptr<NetMessage>>& messages);
