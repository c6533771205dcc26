// One program per settings directory: the lock is refused to a second holder and comes free however the
// first one ends, a kill included.

#include "core/instancelock.h"
#include "testsupport.h"

#include <csignal>
#include <sys/wait.h>

namespace vemar {
namespace {

using Outcome = InstanceLock::Outcome;

// A second holder is refused until the first lets go; a directory that cannot hold the lock says why.
TEST(InstanceLock, TakenHeldOrFailedWithAReason) {
    test::WorkDir dir(false), other(false);
    auto first = std::make_unique<InstanceLock>();
    InstanceLock second;
    EXPECT_EQ(first->take(dir.path()), Outcome::Taken);
    EXPECT_EQ(first->take(dir.path()), Outcome::Taken);   // taking it again is harmless
    EXPECT_EQ(second.take(dir.path()), Outcome::Held);
    EXPECT_EQ(InstanceLock().take(other.path()), Outcome::Taken) << "each directory has its own lock";
    first.reset();
    EXPECT_EQ(second.take(dir.path()), Outcome::Taken);
    InstanceLock lock;
    EXPECT_EQ(lock.take(dir / "missing"), Outcome::Failed);
    EXPECT_EQ(lock.error(), ".vemar.lock: No such file or directory");
}

TEST(InstanceLock, AKilledHolderLeavesNoLockBehind) {
    test::WorkDir dir(false);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        const char taken = lock.take(dir.path()) == Outcome::Taken ? 'y' : 'n';
        (void)!::write(ready[1], &taken, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);   // a child that dies early then reads as an end, not a wait
    char taken = 0;
    EXPECT_TRUE(::read(ready[0], &taken, 1) == 1 && taken == 'y');   // no ASSERT: the child must be killed whatever happens
    EXPECT_EQ(InstanceLock().take(dir.path()), Outcome::Held);
    ::kill(child, SIGKILL), ::waitpid(child, nullptr, 0), ::close(ready[0]);
    EXPECT_EQ(InstanceLock().take(dir.path()), Outcome::Taken);
}

} // namespace
} // namespace vemar
