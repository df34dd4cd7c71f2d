// Runs a stretch of a test as the user "nobody" when the tests run as root,
// so that file modes keep the process from writing as they would anyone else.
#pragma once

#include <QtGlobal>
#include <unistd.h>

namespace storetest {

// Root may write any file whatever its mode; the tests run as root in CI, so
// there they look at the files as "nobody" would.
class NonRootUser
{
public:
    NonRootUser()
    {
        if (::geteuid() != 0) {
            m_ok = true;
            return;
        }
        m_ok = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        m_switched = m_ok;
    }
    ~NonRootUser()
    {
        if (m_switched && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("cannot become root again");
    }
    NonRootUser(const NonRootUser &) = delete;
    NonRootUser &operator=(const NonRootUser &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
    bool m_switched = false;
};

} // namespace storetest
