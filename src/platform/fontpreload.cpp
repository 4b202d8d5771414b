#include "platform/fontpreload.h"

#ifdef KEYHOUND_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontPreload::FontPreload()
{
#ifdef KEYHOUND_FONTCONFIG
    // fontconfig makes its configuration once for the whole process; Qt's own call then finds it made.
    m_reading = std::thread([] { FcInit(); });
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
