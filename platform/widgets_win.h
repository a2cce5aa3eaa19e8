// The widgets the settings dialog is built from: surfaces with a retained image (the form and its picture boxes)
// carrying windowless labels, images and rectangle shapes, plus the system's scroll bar and combo box.
#pragma once

#include "platform/combo_box_win.h"
#include "platform/container_win.h"
#include "platform/image_element_win.h"
#include "platform/label_win.h"
#include "platform/scroll_bar_win.h"
#include "platform/shape_rect_win.h"
