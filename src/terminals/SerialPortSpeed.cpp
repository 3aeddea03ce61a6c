// Line speeds without a termios constant (14400, 56000, 128000, 256000). Linux takes any rate
// through termios2; its header cannot live beside <termios.h>, hence a file of its own.

#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);
#endif

namespace kzm::detail {

bool SetOtherSpeed(int fd, int rate) {
#if defined(__linux__)
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_cflag &= ~(CBAUD << IBSHIFT);
    tio.c_cflag |= BOTHER << IBSHIFT;
    tio.c_ispeed = static_cast<speed_t>(rate);
    tio.c_ospeed = static_cast<speed_t>(rate);
    return ioctl(fd, TCSETS2, &tio) == 0;
#else
    (void)fd;
    (void)rate;
    return false;
#endif
}

} // namespace kzm::detail
