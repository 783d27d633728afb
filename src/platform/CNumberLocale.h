#pragma once

#include <locale.h>

// Makes the calling thread format and parse numbers as the C locale does while it lives. C
// libraries write numbers into files with printf (libxlsxwriter's "14.9" and column widths);
// under a German locale they would write "14,9", which no office program reads. Only this
// thread is affected, so an export in the background never changes the numbers elsewhere.
class CNumberLocale {
public:
    CNumberLocale();
    ~CNumberLocale();
    CNumberLocale(const CNumberLocale&) = delete;
    CNumberLocale& operator=(const CNumberLocale&) = delete;

    // For the whole process: LC_NUMERIC back to "C" after the toolkit took the user's locale.
    // Qt formats numbers for the user itself, so nothing shown changes.
    static void keepProcessNumbersInC();

private:
    locale_t m_c = nullptr;
    locale_t m_previous = nullptr;
};
