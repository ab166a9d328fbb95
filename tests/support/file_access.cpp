#include "file_access.h"

#include <initializer_list>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

void dropFileAccessOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        // Out of the bounding set too, so programs the tests start cannot regain it.
        prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
        data[capability / 32].effective &= ~(1u << (capability % 32));
        data[capability / 32].permitted &= ~(1u << (capability % 32));
        data[capability / 32].inheritable &= ~(1u << (capability % 32));
    }
    syscall(SYS_capset, &header, data);
}
