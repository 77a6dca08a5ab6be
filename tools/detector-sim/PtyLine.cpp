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

namespace sim {

namespace {

// How far a paced line may fall behind its time and still hurry to catch up; further
// behind (a reader that stopped taking bytes, a busy machine), it goes on from now.
constexpr std::chrono::milliseconds kCatchUpLimit{20};

std::chrono::milliseconds randomDelay(int maxMs, Random& random) {
    return std::chrono::milliseconds(random.below(std::uint64_t(maxMs) + 1));
}

}  // namespace

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

bool PtyLine::writeAll(const Bytes& bytes, Random& random) {
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        std::size_t piece = bytes.size() - offset;
        if (pacing_.maxPiece > 0) {
            piece = std::min<std::size_t>(piece, 1 + random.below(std::uint64_t(pacing_.maxPiece)));
        }
        if (!writePaced(bytes.data() + offset, piece)) {
            return false;
        }
        offset += piece;
        if (pacing_.maxPiece > 0 && pacing_.maxDelayMs > 0 && offset < bytes.size() &&
            !pause(randomDelay(pacing_.maxDelayMs, random))) {
            return false;
        }
    }
    return true;
}

bool PtyLine::startAnswer(Clock::time_point moment) {
    idleFrom_ = moment;
    return sleepUntil(moment);
}

bool PtyLine::pause(Clock::duration pause) {
    keepUp();
    idleFrom_ += pause;
    return sleepUntil(idleFrom_);
}

// On a paced line, writes in chunks of about 10 ms, each as soon as the line would have
// sent its last byte; otherwise at once.
bool PtyLine::writePaced(const std::uint8_t* data, std::size_t size) {
    const long rate = pacing_.bytesPerSecond;
    if (rate == 0) {
        const bool written = writePiece(data, size);
        idleFrom_ = Clock::now();
        return written;
    }
    const auto chunkSize = static_cast<std::size_t>(std::max(1L, rate / 100));
    for (std::size_t done = 0; done < size;) {
        const std::size_t chunk = std::min(chunkSize, size - done);
        keepUp();
        idleFrom_ += std::chrono::nanoseconds(static_cast<std::int64_t>(chunk) * 1000000000 / rate);
        if (!sleepUntil(idleFrom_) || !writePiece(data + done, chunk)) {
            return false;
        }
        done += chunk;
    }
    return true;
}

void PtyLine::keepUp() {
    const Clock::time_point now = Clock::now();
    if (idleFrom_ < now - kCatchUpLimit) {
        idleFrom_ = now;
    }
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
