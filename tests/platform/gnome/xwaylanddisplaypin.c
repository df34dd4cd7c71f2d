/* Loaded into the test desktop's gnome-shell (LD_PRELOAD) to give its Xwayland the display number in
 * CORVALINT_XWAYLAND_DISPLAY. Mutter takes the lowest free display otherwise, which on a shared machine may be
 * anyone's; it has no option for it, only this function, which its own test runner calls the same way. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>

__attribute__((constructor)) static void pin_display(void)
{
    const char *number = getenv("CORVALINT_XWAYLAND_DISPLAY");
    void (*override)(int) = (void (*)(int))dlsym(RTLD_DEFAULT, "meta_xwayland_override_display_number");
    if (number && *number && override)
        override(atoi(number));
    /* The shell's children (Xwayland, helpers) must not carry it on. */
    unsetenv("LD_PRELOAD");
    unsetenv("CORVALINT_XWAYLAND_DISPLAY");
}
