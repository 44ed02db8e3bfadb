#pragma once
// run/lab: a Unix stream socket (mode 0600) on which one command a line is answered by the
// handler's text. A socket file left behind by an earlier run is replaced; the file is removed
// when the server stops.
#include <functional>
#include <string>
#include <thread>

namespace lab {

class LabSocket {
public:
    using Handler = std::function<std::string(const std::string& line)>;

    ~LabSocket();
    // False with the reason when the socket cannot be served.
    bool start(const std::string& path, Handler handler, std::string* error);
    void stop();

private:
    void serve();

    std::string m_path;
    Handler m_handler;
    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};

}  // namespace lab
