#include "timing/TickSource.h"

TickSource::~TickSource() = default;
