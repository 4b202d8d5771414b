#include "platform/screenplace.h"

#include <algorithm>

namespace {

int within(int wanted, int first, int length, int size)
{
    return std::max(first, std::min(wanted, first + length - size));
}

} // namespace

QPoint placeOnScreenCentre(const QRect& available, const QSize& size, int raised)
{
    const int left = available.left() + (available.width() - size.width()) / 2;
    const int top = available.top() + (available.height() - size.height()) / 2 - raised;
    return {within(left, available.left(), available.width(), size.width()),
            within(top, available.top(), available.height(), size.height())};
}
