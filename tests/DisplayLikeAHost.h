#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <dlfcn.h>

namespace testing_support
{
// Whether there is a display to open windows on; if so, sets it up as a host has it. Hosts
// install an X error handler of their own and a plug-in's JUCE doesn't: without one, Xlib ends the
// process at the first error, and a bare X server without a window manager lacks atoms JUCE sets
// on new windows. Installed through the library JUCE itself loads.
inline bool displayLikeAHost()
{
    const char* display = std::getenv ("DISPLAY");
    if (display == nullptr || *display == 0 ||
        juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        return false;

    using ErrorHandler = int (*) (void*, void*);
    using SetErrorHandler = ErrorHandler (*) (ErrorHandler);
    if (void* x11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD))
        if (auto setErrorHandler = reinterpret_cast<SetErrorHandler> (dlsym (x11, "XSetErrorHandler")))
            setErrorHandler (
                [] (void*, void*)
                {
                    return 0;
                });
    return true;
}
} // namespace testing_support
