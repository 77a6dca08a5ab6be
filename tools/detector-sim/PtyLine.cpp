#include "PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "StopSignal.h"

namespace sim {

PtyLine::~PtyLine() {
    close();
}

bool PtyLine::open(std::string& error) {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        error = std::string("openpty failed: ") + std::strerror(errno);
        return false;
    }
    // A new pseudo-terminal starts in cooked mode: bytes written before the
    // application opens its port would be echoed and translated.
    termios raw{};
    if (tcgetattr(master_, &raw) != 0) {
        error = std::string("cannot read the line settings: ") + std::strerror(errno);
        return false;
    }
    cfmakeraw(&raw);
    if (tcsetattr(master_, TCSANOW, &raw) != 0) {
        error = std::string("cannot put the line in raw mode: ") + std::strerror(errno);
        return false;
    }
    // Writes never block, so that a stop request ends a wait for a reader that has
    // stopped reading.
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = std::string("cannot make the line non-blocking: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    return true;
}

long PtyLine::readSome(std::uint8_t* data, std::size_t size, int timeoutMs) {
    pollfd fd{master_, POLLIN, 0};
    const int ready = poll(&fd, 1, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? 0 : -1;
    }
    if (ready == 0) {
        return 0;
    }
    const ssize_t n = ::read(master_, data, size);
    if (n < 0) {
        return errno == EINTR || errno == EAGAIN ? 0 : -1;
    }
    return n == 0 ? -1 : static_cast<long>(n);
}

bool PtyLine::writeAll(const Bytes& bytes, int maxPiece, int maxDelayMs, Random& random) {
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        std::size_t piece = bytes.size() - offset;
        if (maxPiece > 0) {
            piece = std::min<std::size_t>(piece, 1 + random.below(std::uint64_t(maxPiece)));
        }
        if (!writePiece(bytes.data() + offset, piece)) {
            return false;
        }
        offset += piece;
        if (maxPiece > 0 && maxDelayMs > 0 && offset < bytes.size()) {
            const auto pause = random.below(std::uint64_t(maxDelayMs) + 1);
            if (!sleepFor(std::chrono::milliseconds(pause))) {
                return false;
            }
        }
    }
    return true;
}

bool PtyLine::writePiece(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(master_, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!waitWritable()) {
            return false;
        }
    }
    return true;
}

bool PtyLine::waitWritable() {
    pollfd fd{master_, POLLOUT, 0};
    while (!stopRequested()) {
        const int ready = poll(&fd, 1, 50);
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
    return false;
}

bool PtyLine::waitUntilTaken(int limitMs) {
    // Written bytes reach the slave's input queue through the kernel's flip buffers a
    // moment later, so an empty queue counts only when it is seen empty twice.
    int emptyChecks = 0;
    for (int waited = 0; waited < limitMs; waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        int unread = 0;
        if (ioctl(slave_, TIOCINQ, &unread) != 0) {
            return false;
        }
        emptyChecks = unread == 0 ? emptyChecks + 1 : 0;
        if (emptyChecks == 2) {
            return true;
        }
    }
    return false;
}

void PtyLine::close() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

}  // namespace sim
