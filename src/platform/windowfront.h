#pragma once

class QWidget;

// Shows a top-level window again, restored from minimised and in front of the others. A Wayland client can neither
// raise nor restore its own window, and is not told when it was minimised: there the window is shown afresh, which
// brings it up in front.
void bringWindowToFront(QWidget* window);
