// kesto-avrsim: a simulated ATmega328P with a serial bootloader, for the firmware update tests.
// The board's UART0 is bridged to a pty whose path is printed on stdout ("PTY <path>"). The
// board resets into its bootloader when a host opens the pty (a pty has no DTR line to pulse)
// or sends the bootloader's sync bytes while the application runs. A host whose baud rate does
// not match the UART's gets nothing back and sends garbage, as on a real line. On exit (SIGTERM
// or SIGINT) the flash can be written to a file for comparison.

#include <simavr/avr_uart.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_irq.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr uint32_t kFrequency = 16000000;
constexpr char kBootloaderDir[] = "/usr/share/arduino/hardware/arduino/avr/bootloaders";
// ATmega328P registers (data space addresses).
constexpr uint16_t kMcusr = 0x54;
constexpr uint8_t kExtrf = 1 << 1;
constexpr uint16_t kUcsr0a = 0xC0;
constexpr uint8_t kU2x0 = 1 << 1;
constexpr uint16_t kUbrr0l = 0xC4;
constexpr uint16_t kUbrr0h = 0xC5;
// Debian's optiboot build runs 20 bytes past the end of the flash (its last function straddles
// 0x8000). The board keeps that much room behind the flash so the bootloader runs as built.
constexpr uint32_t kFlashSpill = 0x100;

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

struct Board
{
    avr_t *avr = nullptr;
    uint32_t bootStart = 0;
    int master = -1;
    bool hostOpen = false;
    bool xoff = false;
    std::deque<uint8_t> toBoard;
    uint8_t lastHostByte = 0;
    bool verbose = false;

    int uartBaud() const
    {
        const unsigned ubrr = (unsigned(avr->data[kUbrr0h] & 0x0F) << 8) | avr->data[kUbrr0l];
        const unsigned divisor = (avr->data[kUcsr0a] & kU2x0) ? 8 : 16;
        return int(kFrequency / (divisor * (ubrr + 1)));
    }

    int hostBaud() const
    {
        termios t{};
        if (tcgetattr(master, &t) != 0) {
            return 0;
        }
        switch (cfgetospeed(&t)) {
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        default:
            return 0;
        }
    }

    // Rates within 5 % of each other understand each other, as real UARTs do.
    bool ratesMatch() const
    {
        const int host = hostBaud();
        const int uart = uartBaud();
        return host > 0 && uart > 0 && std::abs(host - uart) * 20 < uart;
    }

    void configureUart()
    {
        // No sleeping on every status poll (it slows the core many times over), no console echo.
        uint32_t flags = 0;
        avr_ioctl(avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
        flags &= ~uint32_t(AVR_UART_FLAG_POLL_SLEEP | AVR_UART_FLAG_STDIO);
        avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    }

    // An external reset: the bootloader starts and, seeing the external-reset flag, waits for the
    // host instead of starting the application.
    void externalReset()
    {
        avr_reset(avr);
        avr->pc = bootStart;
        avr->data[kMcusr] = kExtrf;
        avr->state = cpu_Running;
        configureUart();
        toBoard.clear();
        xoff = false;
        if (verbose) {
            std::fprintf(stderr, "avrsim: reset into the bootloader\n");
        }
    }

    void sendToHost(uint8_t byte)
    {
        if (!hostOpen || !ratesMatch()) {
            return; // nobody listens, or the host hears only noise it cannot frame
        }
        ssize_t written;
        do {
            written = write(master, &byte, 1);
        } while (written < 0 && errno == EINTR);
    }

    void pumpToBoard()
    {
        avr_irq_t *input = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
        while (!toBoard.empty() && !xoff) {
            const uint8_t byte = toBoard.front();
            toBoard.pop_front();
            avr_raise_irq(input, byte);
        }
    }

    void pollHost()
    {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 0) < 0) {
            return;
        }
        const bool open = !(p.revents & POLLHUP);
        if (open && !hostOpen) {
            hostOpen = true;
            externalReset();
        } else if (!open && hostOpen) {
            hostOpen = false;
        }
        if (!(p.revents & POLLIN)) {
            return;
        }
        uint8_t buffer[256];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        const bool match = ratesMatch();
        for (ssize_t i = 0; i < n; ++i) {
            const uint8_t byte = buffer[i];
            // The sync bytes while the application runs: the host wants the bootloader.
            if (lastHostByte == 0x30 && byte == 0x20 && avr->pc < bootStart) {
                externalReset();
            }
            lastHostByte = byte;
            // A byte sent at the wrong rate arrives as framing garbage, never as a command.
            toBoard.push_back(match ? byte : uint8_t((byte & 0x80) ? 0xFF : 0x80));
        }
        pumpToBoard();
    }
};

void onUartOutput(avr_irq_t *, uint32_t value, void *param)
{
    static_cast<Board *>(param)->sendToHost(uint8_t(value));
}

void onXon(avr_irq_t *, uint32_t, void *param)
{
    auto *board = static_cast<Board *>(param);
    board->xoff = false;
    board->pumpToBoard();
}

void onXoff(avr_irq_t *, uint32_t, void *param)
{
    static_cast<Board *>(param)->xoff = true;
}

// Intel HEX into flash. simavr's own reader refuses the start-address record that optiboot's
// file carries, so this one reads data, end, and the segment/linear address records.
bool loadHex(avr_t *avr, const char *path)
{
    FILE *f = std::fopen(path, "r");
    if (!f) {
        return false;
    }
    char line[600];
    uint32_t base = 0;
    bool ok = true;
    while (ok && std::fgets(line, sizeof line, f)) {
        if (line[0] != ':') {
            continue;
        }
        uint8_t bytes[300];
        size_t n = 0;
        for (const char *c = line + 1; std::isxdigit(uint8_t(c[0])) && std::isxdigit(uint8_t(c[1]));
             c += 2) {
            if (n == sizeof bytes) {
                ok = false;
                break;
            }
            const char pair[3] = {c[0], c[1], 0};
            bytes[n++] = uint8_t(std::strtoul(pair, nullptr, 16));
        }
        if (!ok || n < 5 || n != size_t(bytes[0]) + 5) {
            ok = false;
            break;
        }
        const uint8_t count = bytes[0];
        const uint32_t offset = (uint32_t(bytes[1]) << 8) | bytes[2];
        switch (bytes[3]) {
        case 0x00: // data; optiboot's version word at 0x7FFE is a chunk of its own
            if (base + offset + count > avr->flashend + 1 + kFlashSpill) {
                ok = false;
            } else {
                std::memcpy(avr->flash + base + offset, bytes + 4, count);
            }
            break;
        case 0x01:
            std::fclose(f);
            return true;
        case 0x02:
            base = ((uint32_t(bytes[4]) << 8) | bytes[5]) << 4;
            break;
        case 0x04:
            base = ((uint32_t(bytes[4]) << 8) | bytes[5]) << 16;
            break;
        default: // start addresses: the reset vector decides where the board starts
            break;
        }
    }
    std::fclose(f);
    return ok;
}

void usage()
{
    std::fprintf(stderr,
                 "usage: kesto-avrsim [--kind new|old] [--hex FILE --boot ADDR] [--dump FILE]\n"
                 "                    [--link PATH] [--verbose]\n"
                 "  new: optiboot at 115200 baud (default); old: ATmegaBOOT at 57600 baud\n");
}

} // namespace

int main(int argc, char **argv)
{
    std::string kind = "new";
    std::string hex;
    std::string dump;
    std::string link;
    uint32_t bootStart = 0;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--kind" && hasValue) {
            kind = argv[++i];
        } else if (arg == "--hex" && hasValue) {
            hex = argv[++i];
        } else if (arg == "--boot" && hasValue) {
            bootStart = uint32_t(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--dump" && hasValue) {
            dump = argv[++i];
        } else if (arg == "--link" && hasValue) {
            link = argv[++i];
        } else if (arg == "--verbose") {
            verbose = true;
        } else {
            usage();
            return 2;
        }
    }
    if (hex.empty()) {
        if (kind == "new") {
            hex = std::string(kBootloaderDir) + "/optiboot/optiboot_atmega328.hex";
            bootStart = 0x7E00;
        } else if (kind == "old") {
            hex = std::string(kBootloaderDir) + "/atmega/ATmegaBOOT_168_atmega328.hex";
            bootStart = 0x7800;
        } else {
            usage();
            return 2;
        }
    }

    Board board;
    board.verbose = verbose;
    board.bootStart = bootStart;
    board.avr = avr_make_mcu_by_name("atmega328p");
    if (!board.avr) {
        std::fprintf(stderr, "avrsim: no atmega328p core\n");
        return 1;
    }
    avr_init(board.avr);
    board.avr->frequency = kFrequency;
    board.avr->reset_pc = bootStart;
    board.avr->flash = static_cast<uint8_t *>(
        std::realloc(board.avr->flash, board.avr->flashend + 1 + kFlashSpill));
    std::memset(board.avr->flash + board.avr->flashend + 1, 0xFF, kFlashSpill);
    board.avr->codeend = board.avr->flashend + kFlashSpill;
    board.avr->log = verbose ? LOG_WARNING : LOG_ERROR;
    if (!loadHex(board.avr, hex.c_str())) {
        std::fprintf(stderr, "avrsim: cannot load %s\n", hex.c_str());
        return 1;
    }

    board.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (board.master < 0 || grantpt(board.master) != 0 || unlockpt(board.master) != 0) {
        std::perror("avrsim: pty");
        return 1;
    }
    termios t{};
    tcgetattr(board.master, &t);
    cfmakeraw(&t);
    tcsetattr(board.master, TCSANOW, &t);
    const std::string slave = ptsname(board.master);
    if (!link.empty()) {
        unlink(link.c_str());
        if (symlink(slave.c_str(), link.c_str()) != 0) {
            std::perror("avrsim: link");
        }
    }

    avr_irq_register_notify(avr_io_getirq(board.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT),
                            onUartOutput, &board);
    avr_irq_register_notify(avr_io_getirq(board.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON),
                            onXon, &board);
    avr_irq_register_notify(avr_io_getirq(board.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF),
                            onXoff, &board);
    board.externalReset();

    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::printf("PTY %s\n", slave.c_str());
    std::fflush(stdout);

    // Run in slices of 0.25 ms of board time, held to the wall clock so that the bootloaders'
    // timeouts last as long as on hardware.
    using Clock = std::chrono::steady_clock;
    constexpr avr_cycle_count_t kSlice = kFrequency / 4000;
    auto realBase = Clock::now();
    avr_cycle_count_t cycleBase = board.avr->cycle;
    while (!g_stop) {
        board.pollHost();
        const int state = board.avr->state;
        if (state == cpu_Done || state == cpu_Crashed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            realBase = Clock::now();
            cycleBase = board.avr->cycle;
            continue;
        }
        const avr_cycle_count_t end = board.avr->cycle + kSlice;
        while (board.avr->cycle < end) {
            const int s = avr_run(board.avr);
            if (s == cpu_Done || s == cpu_Crashed) {
                break;
            }
        }
        const auto boardTime =
            std::chrono::nanoseconds((board.avr->cycle - cycleBase) * 1000000000ull / kFrequency);
        const auto realTime = Clock::now() - realBase;
        if (boardTime > realTime) {
            std::this_thread::sleep_for(boardTime - realTime);
        } else if (realTime - boardTime > std::chrono::milliseconds(50)) {
            // Too far behind to catch up: go on from here rather than race.
            realBase = Clock::now();
            cycleBase = board.avr->cycle;
        }
    }

    if (!dump.empty()) {
        FILE *f = std::fopen(dump.c_str(), "wb");
        if (!f || std::fwrite(board.avr->flash, 1, board.avr->flashend + 1, f) !=
                      board.avr->flashend + 1) {
            std::perror("avrsim: dump");
        }
        if (f) {
            std::fclose(f);
        }
    }
    if (!link.empty()) {
        unlink(link.c_str());
    }
    close(board.master);
    return 0;
}
