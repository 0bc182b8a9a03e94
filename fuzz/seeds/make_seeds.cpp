// Writes the seed corpora of the harnesses: usage make_seeds OUTDIR (one folder a harness).
// Every seed is written by the product's own writers from the same sample records the unit
// tests build (records, list buffers, file bodies and copies, frames and message parts, INI and
// registry files), so the corpora are made again from the sources at any time.
#include "core/support/SampleRecords.h"
#include "base/KxIni.h"
#include "base/KxRegistry.h"
#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxClient.h"
#include "model/CkxConst.h"
#include "model/CkxContainer.h"
#include "model/CkxDataShare.h"
#include "model/CkxDataTag.h"
#include "model/CkxFIPhoto.h"
#include "model/CkxFSNode.h"
#include "model/CkxFSQuickKey.h"
#include "model/CkxFamily.h"
#include "model/CkxFile.h"
#include "model/CkxFileRole.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxPerson.h"
#include "model/CkxPower.h"
#include "model/CkxProject.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxUser.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserLicence.h"
#include "model/CkxUserRole.h"
#include "model/CkxUserX.h"
#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path g_out;

void Seed(const std::string& harness, const std::string& name, std::string_view bytes) {
    const fs::path dir = g_out / harness;
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <class Com>
std::string Rec(const Com& c) {
    return std::string(reinterpret_cast<const char*>(&c), sizeof c);
}

std::string Buf(const CkxBuf& b) { return std::string(b.View()); }

std::string FileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A u16 little-endian length and the bytes: the chunks the frame and request harnesses read.
void Chunk(std::string& out, std::string_view bytes) {
    out += static_cast<char>(bytes.size() & 0xff);
    out += static_cast<char>(bytes.size() >> 8);
    out += bytes;
}

std::string PowerBuf() {
    CkxPower pw;
    pw.m_LicenceList.AddTail(CkxUserLicence());
    CkxUserLicence l;
    l.m_nItemID = 3;
    pw.m_LicenceList.AddTail(l);
    CkxBuf b;
    pw.BuildBuf(b);
    return Buf(b);
}

std::string GroupBuf() {
    CkxUserGroup g;
    g.m_UserList = {1, 2, 3};
    CkxBuf b;
    g.BuildQueryBuf(b);
    return Buf(b);
}

void CoreSeeds() {
    const CkxFile f = SampleFile();
    CkxBuf info, data, attr;
    f.BuildFileInfo(info);
    f.BuildFileData(data);
    f.BuildFileAttr(attr);
    CkxFIPhoto photo;
    photo.m_strTitle = "portrait";
    CkxBuf photoData;
    photo.BuildFileData(photoData);
    CkxObjAttrTemplet templet;
    CkxBuf templetBuf;
    templet.BuildBuf(templetBuf);

    CkxBuf cb;
    SampleContainer().BuildBuf(cb);
    Seed("core_container", "three-sections", Buf(cb));
    for (const auto& [name, b] : {std::pair{"file-info", &info}, {"file-data", &data}, {"file-attr", &attr}, {"photo-data", &photoData}}) {
        Seed("core_container", name, Buf(*b));
        Seed("core_filebodies", name, Buf(*b));
    }
    Seed("core_filebodies", "file-record", Rec(f.GetComData()));
    Seed("core_filebodies", "templet", Buf(templetBuf));

    const fs::path copy = g_out / "copy.kx";
    f.SaveEncryptFile(copy.string());
    Seed("core_storedcopy", "file", FileBytes(copy));
    photo.SaveEncryptFile(copy.string());
    Seed("core_storedcopy", "photo", FileBytes(copy));
    fs::remove(copy);

    Seed("core_rights", "power", PowerBuf());
    Seed("core_rights", "group-members", GroupBuf());
    CkxUserXList users;
    users.AddTail(CkxUserX());
    users.AddTail(CkxUserX());
    CkxBuf ub;
    users.BuildBuf(ub);
    Seed("core_rights", "project-users", Buf(ub));

    const CkxQueryTemplet q = SampleQuery();
    CkxBuf qb;
    q.BuildQueryBuf(qb);
    Seed("core_query", "templet-with-fix", Buf(qb));
    CkxBuf ob;
    q.m_OperandList.GetHead()->BuildBuf(ob);
    Seed("core_query", "operand", Buf(ob));

    CkxAttrValueList values;
    values.AddTail(CkxAttrValue(1, 2));
    values.AddTail(CkxAttrValue(1, 3));
    CkxBuf vb;
    values.BuildBuf(vb);
    Seed("core_lists", "attr-values", Buf(vb));
    CkxConstList consts;
    consts.AddTail(CkxConst());
    consts.AddTail(CkxConst());
    CkxBuf kb;
    consts.BuildBuf(kb);
    Seed("core_lists", "constants", Buf(kb));
}

void PlatformSeeds() {
    kx::IniFile ini;
    ini.FromText("; leading comment\n[SRV_INFO]\r\nName = 主服务器 \nPort=8800\nBad=12x\n[DB_CONF]\nKind=2\n");
    Seed("platform_ini", "server-ini", ini.ToText());
    const fs::path reg = g_out / "registry.ini";
    kx::RegistryStore store(reg.string());
    store.WriteString("Software\\Varnia\\Studio", "LastUser", "alice");
    store.WriteString("Software\\Varnia\\Studio", "Odd", "tab\there ");
    store.WriteDword("Software\\Varnia\\Studio", "Port", 8800);
    const unsigned char bin[] = {0, 1, 0xfe, 0xff};
    store.WriteBinary("Software\\Varnia\\Layout", "State", bin, sizeof bin);
    Seed("platform_registry", "store", FileBytes(reg));
    fs::remove(reg);
}

std::string Frame(NetPacket p) {
    std::string out(kNetMaxPacket, '\0');
    out.resize(static_cast<size_t>(p.Write(reinterpret_cast<uint8_t*>(out.data()))));
    return out;
}

// A message of three data parts (the last one short), as a connection cuts it.
NetMessage SampleMessage() {
    NetMessage m;
    m.SetCommand(kx::kMsgFile, kx::kSubAdd);
    m.SetParam(42);
    m.AppendData(std::string(9000, 'a'));
    m.AppendData(std::string(7000, 'b'));
    m.AppendData("tail");
    return m;
}

void TransportSeeds() {
    NetPacket whole;
    whole.InitCommand(kx::kMsgUser, kx::kSubList, 1);
    whole.SetRequestQueue();
    NetPacket withData;
    withData.InitCommand(kx::kMsgUser, kx::kSubDelete, 1);
    withData.SetData("12", 2);
    const NetMessage m = SampleMessage();
    NetCommandHeader header = m.Header();
    header.nFlag = 1;
    std::vector<std::string> parts;
    NetPacket part(kNetKindPart);
    m.MakeFirstPart(part, header, 7, kSeriesFirst, 0);
    parts.push_back(Frame(part));
    for (int i = 1; i <= m.GetPartCount(); ++i) {
        m.MakeDataPart(part, header, 7, i);
        parts.push_back(Frame(part));
    }

    // Frames: whole packets, a keep-alive byte, a message; each in one receive, and cut anyhow.
    std::string stream = Frame(whole) + std::string(1, '\0') + Frame(withData);
    for (const std::string& p : parts) stream += p;
    std::string oneReceive;
    Chunk(oneReceive, stream);
    Seed("transport_frames", "one-receive", oneReceive);
    std::string cut;
    for (size_t at = 0, step = 1; at < stream.size(); at += step, step = step * 3 + 1)
        Chunk(cut, std::string_view(stream).substr(at, step));
    Seed("transport_frames", "cut", cut);
    // Before the log-on: the same stream (its message is within the bound), and a log-on
    // request after a 48-byte first part that announces 256 MB.
    Seed("transport_untrusted", "one-receive", oneReceive);
    Seed("transport_untrusted", "cut", cut);
    NetTransferHeader huge = kx::ZeroRecord<NetTransferHeader>();
    huge.nTransferId = 9;
    huge.nLength = 256u << 20;
    huge.nParts = static_cast<uint16_t>((huge.nLength + kNetPartData - 1) / kNetPartData);
    NetPacket announce(kNetKindPart);
    announce.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
    announce.SetData(&huge, sizeof huge);
    NetPacket logon;
    logon.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
    logon.SetData(std::string(156, '\0').data(), 156);
    std::string refused;
    Chunk(refused, Frame(logon) + Frame(announce) + parts[1]);
    Seed("transport_untrusted", "announces-too-much", refused);

    // Parts: the command header, then the payloads in order, and with the data parts reversed.
    std::string inOrder, reversed;
    const std::string_view head(reinterpret_cast<const char*>(&header), sizeof header);
    Chunk(inOrder, head);
    Chunk(reversed, head);
    auto payload = [](const std::string& frame) { return std::string_view(frame).substr(kNetHeaderSize); };
    for (const std::string& p : parts) Chunk(inOrder, payload(p));
    Chunk(reversed, payload(parts[0]));
    for (size_t i = parts.size() - 1; i >= 1; --i) Chunk(reversed, payload(parts[i]));
    Seed("transport_reassembly", "in-order", inOrder);
    Seed("transport_reassembly", "reversed", reversed);
}

// Requests for the server harness: type, sub-operation, shape, then chunks.
void Packet(std::string& out, int type, int subOp, std::string_view payload) {
    out += static_cast<char>(type);
    out += static_cast<char>(subOp);
    out += '\0';
    Chunk(out, payload);
}

void Message(std::string& out, int type, int subOp, uint32_t param, const std::vector<std::string>& pieces) {
    out += static_cast<char>(type);
    out += static_cast<char>(subOp);
    out += static_cast<char>(1 | pieces.size() << 1);
    Chunk(out, std::string_view(reinterpret_cast<const char*>(&param), sizeof param));
    for (const std::string& p : pieces) Chunk(out, p);
}

void ServerSeeds() {
    using namespace kx;
    const CkxFile f = SampleFile();
    CkxBuf fileData;
    f.BuildFileData(fileData);
    CkxBuf query;
    SampleQuery().BuildQueryBuf(query);
    CkxBuf templet;
    CkxObjAttrTemplet().BuildBuf(templet);
    CkxUser user;
    user.m_strLogon = "mallory";
    CkxClient logOn;
    logOn.m_nType = CkxClient::MS_STUDIO;
    logOn.m_strLogon = "alice";
    logOn.m_strPassword = "alice-pw";
    // The record each type adds and modifies; files and templates travel as containers.
    const std::map<int, std::string> records = {
        {kMsgSession, Rec(logOn.GetComData())},
        {kMsgUser, Rec(user.GetComData())},
        {kMsgUserGroup, Rec(CkxUserGroup().GetComData())},
        {kMsgUserRole, Rec(CkxUserRole().GetComData())},
        {kMsgFolder, Rec(CkxFSNode().GetComData())},
        {kMsgQuickKey, Rec(CkxFSQuickKey().GetComData())},
        {kMsgFileRole, Rec(CkxFileRole().GetComData())},
        {kMsgFolderRole, Rec(CkxFolderRole().GetComData())},
        {kMsgFamily, Rec(CkxFamily().GetComData())},
        {kMsgFamilyAttr, Rec(CkxAttr().GetComData())},
        {kMsgQueryTemplet, Buf(query)},
        {kMsgFile, Buf(fileData)},
        {kMsgFileModify, Buf(fileData)},
        {kMsgProject, Rec(CkxProject().GetComData())},
        {kMsgKeyword, Rec(CkxKeyword().GetComData())},
        {kMsgKeywordGroup, Rec(CkxKeywordGroup().GetComData())},
        {kMsgKeywordTemplet, Rec(CkxKeywordTemplet().GetComData())},
        {kMsgBookmark, Rec(CkxDataTag().GetComData())},
        {kMsgShare, Rec(CkxDataShare().GetComData())},
        {kMsgFileTemplet, Buf(templet)},
        {kMsgPerson, Rec(CkxPerson().GetComData())},
    };
    for (int type = kMsgTypeFirst; type <= kMsgTypeLast; ++type) {
        if (type == kMsgHostInfo) continue;
        const auto it = records.find(type);
        const std::string record = it != records.end() ? it->second : Rec(f.GetComData());
        std::string packets, messages;
        Packet(packets, type, kSubList, "");
        Packet(packets, type, kSubAdd, record);
        Packet(packets, type, kSubModify, record);
        Packet(packets, type, kSubDelete, "5");
        Message(messages, type, kSubAdd, 1, {record, PowerBuf(), GroupBuf()});
        Message(messages, type, kSubModify, 0, {record, "1,2,3"});
        Seed("server_requests", "type-" + std::to_string(type) + "-packets", packets);
        Seed("server_requests", "type-" + std::to_string(type) + "-messages", messages);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    g_out = argv[1];
    fs::create_directories(g_out);
    CoreSeeds();
    PlatformSeeds();
    TransportSeeds();
    ServerSeeds();
    return 0;
}
