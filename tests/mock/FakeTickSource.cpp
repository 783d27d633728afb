#include "mock/FakeTickSource.h"

qint64 FakeTickSource::nowMicroseconds() const {
    return m_now.load();
}
