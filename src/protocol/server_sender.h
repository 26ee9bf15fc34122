#pragma once
// The send side of the server link.
#include <string_view>

namespace kavex {

class TcpClient;
class TextList;

class ServerSender {
  public:
    ServerSender(TcpClient& socket, TextList& outgoing) : socket_(socket), outgoing_(outgoing) {}

    // Sends an already framed text as one write and logs "OUT:" + text. A refused send
    // is ignored; the log line is written all the same.
    void send(std::string_view framedText);

    // Frames and sends a short command, only while the socket is connected; not logged.
    // Returns whether it was sent.
    bool sendFramed(std::string_view messageText);

    bool connected() const;

  private:
    TcpClient& socket_;
    TextList& outgoing_;
};

} // namespace kavex
