#pragma once
// The most pixels a window's view can show of a picture: the largest
// screen's size in device pixels. The window decodes a slot's JPEG only as
// far as that needs.
#include <QSize>

QSize LargestScreenPixels();
