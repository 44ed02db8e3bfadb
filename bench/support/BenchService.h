// The real service for a benchmark: tamselsvc -run in a root of its own on the signed office
// configuration and the office lab's wired adapter alone with its link down, so that it idles but
// for its clients; and a client's end of its pipe.
#pragma once

#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "bench/support/ServiceRun.h"
#include "tests/support/TestText.h"

// The service, started at construction and stopped by Ctrl+C at the end.
class BenchService {
public:
    BenchService(const char* program, const char* configuration, const char* officeLab) {
        m_root.write("system/configuration.xml", tamsel::test::readText(configuration));
        std::string lab = tamsel::test::readText(officeLab);
        for (const char* pattern :
             {"<adapter [^>]*friendly=\"wlan0\"[^>]*/>", "<logon [^>]*/>", "<vpnGateway [^>]*/>", "<at [^>]*/>",
              "<authenticator [^>]*/>", "<certificateStore [^>]*/>"})
            lab = std::regex_replace(lab, std::regex(pattern), "");
        m_root.write("lab.xml", std::regex_replace(lab, std::regex("link=\"up\""), "link=\"down\""));

        m_pid = spawnService(m_root, program);
    }
    ~BenchService() { stopService(m_pid); }
    BenchService(const BenchService&) = delete;
    BenchService& operator=(const BenchService&) = delete;

    // A client's end of the pipe once the service listens; -1 when it does not within 30 s.
    int connectClient() const {
        if (m_pid < 0) return -1;
        const std::string pipe = m_root.path + "/run/vel";
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int fd = -1;
        while ((fd = connectTo(pipe)) < 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fd;
    }

private:
    TemporaryRoot m_root;
    pid_t m_pid = -1;
};
