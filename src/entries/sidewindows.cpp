#include "entries/sidewindows.h"

#include "entries/detailwindow.h"
#include "entries/updatewindow.h"

SideWindows::SideWindows(Vault& vault, Platform& platform, QObject* parent)
    : QObject(parent)
    , m_vault(vault)
    , m_platform(platform)
{
}

SideWindows::~SideWindows() = default;

void SideWindows::showEntry(qsizetype) {}

void SideWindows::placeBeside(const QRect&) {}

void SideWindows::setShown(bool) {}

bool SideWindows::isShown() const
{
    return false;
}

void SideWindows::close() {}
