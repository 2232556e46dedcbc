// Printing through the host to printers on this machine: a loopback TCP printer that records every byte of
// every connection, the code pages the streams are checked in, and the pieces of an ESC/POS stream built from
// the rules the printer expects.
#pragma once

#include "host_kkt_documents_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace veltrano::hosttest::printing {

using namespace std::string_literals;
using documents::Lines;

// A raw-printing server on 127.0.0.1: every connection is one document, recorded until the sender closes it.
// With readLimit set it stops reading a connection after that many bytes, like a printer whose buffer is
// full, and shrinks its receive buffer so that the sender soon finds no more room.
class LoopbackPrinter {
public:
    explicit LoopbackPrinter(std::size_t readLimit = std::string::npos) : readLimit_(readLimit) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_GE(listener_, 0);
        if (readLimit_ != std::string::npos) {
            const int small = 4096;
            ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(listener_, 8), 0);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackPrinter() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    LoopbackPrinter(const LoopbackPrinter&) = delete;
    LoopbackPrinter& operator=(const LoopbackPrinter&) = delete;

    int Port() const { return port_; }

    // The documents received so far, after waiting up to two seconds for there to be at least count.
    std::vector<std::string> Documents(std::size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(2), [&] { return documents_.size() >= count; });
        return documents_;
    }

private:
    void Serve() {
        while (!stop_) {
            pollfd entry{listener_, POLLIN, 0};
            if (::poll(&entry, 1, 20) != 1)
                continue;
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                continue;
            std::string document;
            char buffer[65536];
            while (!stop_) {
                pollfd data{connection, POLLIN, 0};
                if (document.size() >= readLimit_ || ::poll(&data, 1, 20) != 1) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    continue;
                }
                const std::size_t room = std::min(sizeof buffer, readLimit_ - document.size());
                const ssize_t got = ::read(connection, buffer, room);
                if (got <= 0)
                    break;
                document.append(buffer, static_cast<std::size_t>(got));
            }
            ::close(connection);
            std::lock_guard lock(mutex_);
            documents_.push_back(std::move(document));
            arrived_.notify_all();
        }
    }

    std::size_t readLimit_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> documents_;
};

// The Cyrillic letters, "Ё", "ё" and "№" in code page 866 or 1251, ASCII as it is; anything else is a test
// failure.
inline std::string InCodePage(const std::string& utf8, int codePage) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += utf8[i++];
            continue;
        }
        char32_t c = 0;
        if ((lead & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            c = static_cast<char32_t>((lead & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0 && i + 2 < utf8.size()) {
            c = static_cast<char32_t>((lead & 0x0F) << 12 |
                                      (static_cast<unsigned char>(utf8[i + 1]) & 0x3F) << 6 |
                                      (static_cast<unsigned char>(utf8[i + 2]) & 0x3F));
            i += 3;
        } else {
            ADD_FAILURE() << "not UTF-8: " << utf8;
            return bytes;
        }
        int byte = -1;
        if (codePage == 866) {
            if (c >= U'А' && c <= U'п')
                byte = 0x80 + static_cast<int>(c - U'А');
            else if (c >= U'р' && c <= U'я')
                byte = 0xE0 + static_cast<int>(c - U'р');
            else if (c == U'Ё' || c == U'ё' || c == U'№')
                byte = c == U'Ё' ? 0xF0 : c == U'ё' ? 0xF1 : 0xFC;
        } else if (codePage == 1251) {
            if (c >= U'А' && c <= U'я')
                byte = 0xC0 + static_cast<int>(c - U'А');
            else if (c == U'Ё' || c == U'ё' || c == U'№')
                byte = c == U'Ё' ? 0xA8 : c == U'ё' ? 0xB8 : 0xB9;
        }
        if (byte < 0) {
            ADD_FAILURE() << "no byte for U+" << std::hex << static_cast<unsigned>(c) << " in " << codePage;
            return bytes;
        }
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

// The default codes of the settings.
inline const std::string Init = "\x1B@\x1Bt\x06";
inline const std::string Cut = "\x1DV\x01";
inline const std::string Feed = " \r\n";
inline const std::string BoldOn = "\x1BG\x01"s, BoldOff = "\x1B\x45\x00"s;

inline std::string TextLines(const Lines& lines, int codePage = 866) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += InCodePage(line, codePage) + "\r\n";
    return bytes;
}

// The commands of a QR code at the default module size, centred.
inline std::string QrCommand(const std::string& data, int moduleSize = 6) {
    const std::size_t stored = data.size() + 3;
    return "\x1B\x61\x01"s + "\x1D(k\x03\x00\x31\x43"s + static_cast<char>(moduleSize) +
           "\x1D(k\x03\x00\x31\x45\x31"s + "\x1D(k"s + static_cast<char>(stored & 0xFF) +
           static_cast<char>(stored >> 8) + "\x31\x50\x30"s + data + "\x1D(k\x03\x00\x31\x51\x30"s +
           "\x1B\x61\x00"s;
}

// The commands of a linear barcode (2 EAN-13, 3 EAN-8, 4 Code 39) at the default height, centred.
inline std::string BarcodeCommand(const std::string& data, char symbology) {
    return "\x1B\x61\x01\x1DH\x30\x1Dh\x3C\x1Dk"s + symbology + data + "\0\x1B\x61\x00"s;
}

class PrinterHostTest : public documents::KktDocumentsHostTest {
protected:
    Overrides Lan(const LoopbackPrinter& printer, const Overrides& more = {}) const {
        Overrides settings{
            {"InterfaceType", "2"}, {"IPAddress", "127.0.0.1"}, {"IPPort", std::to_string(printer.Port())}};
        settings.insert(settings.end(), more.begin(), more.end());
        return settings;
    }

    // The output file's lines added since the last call, exactly as written.
    Lines NewRawLines() {
        const std::string bytes = OutputBytes();
        Lines lines;
        for (std::size_t from = rawSeen_; from < bytes.size();) {
            const std::size_t end = bytes.find("\r\n", from);
            if (end == std::string::npos)
                break;
            lines.push_back(bytes.substr(from, end - from));
            from = end + 2;
        }
        rawSeen_ = bytes.size();
        return lines;
    }

private:
    std::size_t rawSeen_ = 0;
};

} // namespace veltrano::hosttest::printing
