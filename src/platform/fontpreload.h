#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own while the program connects to the display, so that
// the first text a window lays out does not wait for it: on first use fontconfig parses every configuration file and
// opens the cache of every font folder, the largest part of a window's first text.
class FontPreload
{
public:
    FontPreload();
    ~FontPreload();
    FontPreload(const FontPreload&) = delete;
    FontPreload& operator=(const FontPreload&) = delete;

    // Returns once the configuration is read.
    void wait();

private:
    std::thread m_reading;
};
