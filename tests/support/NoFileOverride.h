#pragma once
// Permission cases mean the same whoever runs the tests: while a
// NoFileOverride lives, the calling thread works without the capabilities
// that let root ignore file permissions (CAP_DAC_OVERRIDE,
// CAP_DAC_READ_SEARCH), as an ordinary user does. Only the effective set
// changes, so the destructor can put them back; for a user who never had
// them nothing changes at all.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class NoFileOverride
{
public:
    NoFileOverride()
    {
        FHeader.version = _LINUX_CAPABILITY_VERSION_3;
        FHeader.pid = 0;
        if (::syscall(SYS_capget, &FHeader, FSaved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        FChanged = ::syscall(SYS_capset, &FHeader, reduced) == 0;
    }
    ~NoFileOverride()
    {
        if (FChanged)
            ::syscall(SYS_capset, &FHeader, FSaved);
    }
    NoFileOverride(const NoFileOverride &) = delete;
    NoFileOverride &operator=(const NoFileOverride &) = delete;

private:
    __user_cap_header_struct FHeader{};
    __user_cap_data_struct FSaved[2]{};
    bool FChanged = false;
};
