#include "platform/fontpreload.h"

#ifdef KEYHOUND_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <system_error>

FontPreload::FontPreload()
{
#ifdef KEYHOUND_FONTCONFIG
    // fontconfig makes its configuration once for the whole process; Qt's own call then finds it made, or makes it
    // itself when no thread could be had.
    try {
        m_reading = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
    }
#endif
}

FontPreload::~FontPreload()
{
    wait();
}

void FontPreload::wait()
{
    if (m_reading.joinable()) {
        m_reading.join();
    }
}
