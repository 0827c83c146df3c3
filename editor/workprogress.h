#pragma once

#include <functional>
#include <utility>

// A hook that long document work (reading and writing RTF) calls now and then, so that a caller
// on the GUI thread can keep a busy indicator moving without the work knowing of any window.
// The hook belongs to the thread that installs it; work on other threads never calls it.
class WorkProgress
{
public:
    using Hook = std::function<void()>;

    // Calls of step() between two calls of the hook: small enough that the hook runs many times
    // within the 100 ms of an animation frame, large enough that step() costs next to nothing.
    static constexpr int Stride = 512;

    // Installs a hook while it lives; an outer hook comes back when the scope ends.
    class Scope
    {
    public:
        explicit Scope(Hook hook) : m_previous(std::exchange(current(), std::move(hook))) {}
        ~Scope() { current() = std::move(m_previous); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        Hook m_previous;
    };

    // One unit of work done (a token read, a paragraph written).
    static void step()
    {
        if (++counter() < Stride)
            return;
        counter() = 0;
        if (const Hook &hook = current())
            hook();
    }

private:
    static Hook &current()
    {
        static thread_local Hook hook;
        return hook;
    }
    static int &counter()
    {
        static thread_local int count = 0;
        return count;
    }
};
