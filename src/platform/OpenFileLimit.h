#pragma once

#include <QtGlobal>

// The process's allowance of open files. A desktop session often starts programs with a soft
// limit of 1,024 although far more are allowed; the program raises it at start-up, and the
// parts that open files for others (the live server's connections) read it to leave room for
// the program's own files.
class OpenFileLimit {
public:
    // Raises the soft limit to the hard one; the soft limit afterwards (unchanged on failure).
    static qint64 raiseToHard();
    // The soft limit now; a very large number when there is none.
    static qint64 soft();
    // The descriptors this process has open now; the soft limit when not one is left even to
    // count them; -1 when they cannot be counted.
    static int openCount();
};
