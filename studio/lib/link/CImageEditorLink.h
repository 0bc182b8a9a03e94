// The link between the studio and the image editor: named after the machine ("DovecrestStudio_
// Tintwork_" and the machine identifier), a channel of 268-byte messages under "PIPENAME" and
// that id, a registered message of the same name, and an exchange folder for the pictures the
// two hand over. The studio builds it at start; nothing opens it yet.
#pragma once

#include "link/CPipeChannel.h"

#include <string>

class CImageEditorLink {
public:
    static constexpr int kMessageSize = 268;

    // `machineId` names the link; `exchangeBase` is the studio's data folder.
    CImageEditorLink(std::string machineId, std::string exchangeBase);
    ~CImageEditorLink();

    std::string GetLinkId() const;
    std::string GetPipeName() const { return "PIPENAME" + GetLinkId(); }
    int GetMessageId() const { return m_nMessageId; }
    bool OpenAsServer();
    bool OpenAsClient();
    void Close() { m_channel.Close(); }
    CPipeChannel& Channel() { return m_channel; }

    std::string GetExchangeFolder() const;
    // Removes the files in the exchange folder; returns how many.
    int ClearExchangeFolder() const;

private:
    void Configure();

    std::string m_strMachineId;
    CPipeChannel m_channel;
    int m_nMessageId = 0;
    std::string m_strExchangeBase;
};
