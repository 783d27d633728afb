#include "platform/CNumberLocale.h"

#include <clocale>
#include <locale.h>

CNumberLocale::CNumberLocale() {
    m_c = newlocale(LC_ALL_MASK, "C", nullptr);
    if (m_c)
        m_previous = uselocale(m_c);
}

CNumberLocale::~CNumberLocale() {
    if (!m_c)
        return;
    uselocale(m_previous);
    freelocale(m_c);
}

void CNumberLocale::keepProcessNumbersInC() {
    std::setlocale(LC_NUMERIC, "C");
}
