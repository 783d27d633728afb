#pragma once

// A platform header that reaches up into the main window: the layering check must refuse it.
#include "ui/Window.h"
