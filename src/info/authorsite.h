#pragma once

#include <QString>

// The author's web site, linked from the login and about windows. A reserved example domain: the program names
// no real person or company.
namespace AuthorSite {

inline QString hostName()
{
    return QStringLiteral("www.corvelo.example");
}

inline QString address()
{
    return QStringLiteral("http://www.corvelo.example/keyhound");
}

} // namespace AuthorSite
