#include "link/CImageEditorLink.h"

#include "base/KxAtomTable.h"
#include "model/CkxwFileSystem.h"

namespace {
const char* const kLinkPrefix = "DovecrestStudio_Tintwork";
const char* const kExchangeName = "Tintwork";
} // namespace

CImageEditorLink::CImageEditorLink(std::string machineId, std::string exchangeBase)
    : m_strMachineId(std::move(machineId)), m_strExchangeBase(std::move(exchangeBase)) {}

CImageEditorLink::~CImageEditorLink() { m_channel.Close(); }

std::string CImageEditorLink::GetLinkId() const { return std::string(kLinkPrefix) + "_" + m_strMachineId; }

void CImageEditorLink::Configure() {
    m_channel.SetMessageSize(kMessageSize);
    // The studio reads nothing from the editor's messages yet.
    m_channel.SetCallback([](const unsigned char*, int) {});
    m_channel.StartReader(m_nMessageId, 0);
}

bool CImageEditorLink::OpenAsServer() {
    m_nMessageId = kx::RegisterAtom(GetLinkId());
    if (!m_channel.Open(true, ".", GetPipeName())) return false;
    Configure();
    return true;
}

bool CImageEditorLink::OpenAsClient() {
    m_nMessageId = kx::RegisterAtom(GetLinkId());
    if (!m_channel.Open(false, ".", GetPipeName())) return false;
    Configure();
    return true;
}

std::string CImageEditorLink::GetExchangeFolder() const {
    return m_strExchangeBase + "/DataExc/" + kExchangeName + "/";
}

int CImageEditorLink::ClearExchangeFolder() const { return CkxwFileSystem::RemoveChildFile(GetExchangeFolder()); }
