// A one-way channel of fixed-size messages between two programs of this user on this machine,
// over a Unix domain socket in the runtime folder ($XDG_RUNTIME_DIR, else the temporary folder).
// The server end listens under the name (the socket file readable and writable by its owner
// only) and a reader thread hands every whole message to the callback, one writer at a time;
// the client end connects and writes. Close stops and joins the reader at once, whatever it is
// waiting for.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CPipeChannel {
public:
    using Callback = std::function<void(const unsigned char* message, int userValue)>;

    CPipeChannel() = default;
    ~CPipeChannel();
    CPipeChannel(const CPipeChannel&) = delete;
    CPipeChannel& operator=(const CPipeChannel&) = delete;

    // Server (true): listens under the name; fails when another live server holds it or the
    // socket cannot be made (a socket file left by a dead server is replaced). Client (false):
    // connects to the server of that name. Only this machine: the host is "." or empty.
    bool Open(bool server, const std::string& host, const std::string& name);
    // Writes one whole message of the message size; false when the client end is not open or
    // the server went.
    bool Write(const void* message);
    void SetCallback(Callback callback);
    void SetMessageSize(int size) { m_nMsgSize = size; }
    int GetMessageSize() const { return m_nMsgSize; }
    // Starts the reader thread; on a client end it only waits for Close.
    bool StartReader(int messageId, int userValue);
    void Close();

    bool IsServer() const { return m_bServer; }
    const std::string& GetPath() const { return m_strPath; }
    // The folder the sockets live in.
    static std::string SocketFolder();

private:
    void ReaderThread();
    bool ReadConnection(int fd);

    Callback m_callback;
    int m_nMsgSize = 0;
    bool m_bServer = false;
    std::atomic<bool> m_bStop{false};
    std::string m_strName;
    std::string m_strPath;
    int m_clientFd = -1;
    int m_listenFd = -1;
    int m_wakeFd = -1; // an event the closing thread signals to wake the reader
    int m_nUserValue = 0;
    int m_nMessageId = 0;
    std::mutex m_mutex; // the callback
    std::thread m_reader;
};
