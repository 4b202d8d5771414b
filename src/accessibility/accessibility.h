#pragma once

// What assistive tools (screen readers, through AT-SPI on Linux) are told about the program's controls, beyond what
// Qt says by itself: a top-level window that is no dialog is a frame, not a filler; a day of the month calendar is a
// button named by its full date, saying whether it is today and whether it is the date chosen; and a tool tip read as
// a control's description loses the spaces that pad it on screen. Installed once, before the first window.
namespace Accessibility {

void install();

} // namespace Accessibility
