// One program per settings directory: a second holder is refused; the lock comes free however the first ends.

#include "core/instancelock.h"
#include "testsupport.h"

#include <csignal>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace vemar {
namespace {

using Outcome = InstanceLock::Outcome;

// A second holder is refused until the first lets go; a directory that cannot hold the lock says why. The
// first holds descriptor 0, as a program started with its standard input closed does.
TEST(InstanceLock, TakenHeldOrFailedWithAReason) {
    test::WorkDir dir(false), other(false);
    const int input = ::dup(0); ::close(0);
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
    EXPECT_EQ(lock.error(), ".vemar.lock: file o cartella inesistente");
    ::dup2(input, 0), ::close(input);
}

// A link is never followed (its target neither made nor locked); a directory, FIFO or hard link is no lock either.
TEST(InstanceLock, RefusesWhatIsNoLockFile) {
    using Make = void (*)(const std::filesystem::path& lock, const std::filesystem::path& target);
    struct Case { const char* what; bool targetExists; Make make; const char* error; };
    const Case cases[] = {
        {"a dangling link", false, [](auto& lock, auto& target) { create_symlink(target, lock); }, "è un collegamento simbolico"},
        {"a link to a file", true, [](auto& lock, auto& target) { create_symlink(target, lock); }, "è un collegamento simbolico"},
        {"a hard link", true, [](auto& lock, auto& target) { create_hard_link(target, lock); }, "non è un file regolare"},
        {"a directory", false, [](auto& lock, auto&) { create_directory(lock); }, "è una cartella"},
        {"a FIFO", false, [](auto& lock, auto&) { ::mkfifo(lock.c_str(), 0600); }, "non è un file regolare"},
    };
    for (const Case& c : cases) {
        test::WorkDir dir(false), other(false);
        const auto target = other / "passwd";
        if (c.targetExists) std::ofstream(target) << "root:x:0:0\n";
        c.make(dir / kLockFile, target);
        InstanceLock lock;
        EXPECT_EQ(std::pair(lock.take(dir.path()), lock.error()), std::pair(Outcome::Failed, ".vemar.lock: " + std::string(c.error))) << c.what;
        EXPECT_EQ(std::filesystem::exists(target), c.targetExists) << c.what;
        const int fd = ::open(target.c_str(), O_RDONLY);
        EXPECT_TRUE(fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0) << c.what << ": the target is not locked";
        if (fd >= 0) ::close(fd);
    }
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
        ::pause(), ::_exit(0);
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
