#pragma once
// A few threads kept for the whole process, lent to work that one core does at well below the
// memory's pace (converting and scanning long traces). Starting threads per call costs more than
// the work they would share on a loaded machine, so they are started once and wait between jobs.
#include <functional>
#include <memory>
#include <type_traits>

namespace qv::kernel {

// A call of a caller's function object, without copying it (and without allocating).
class WorkRef {
public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::remove_cvref_t<F>, WorkRef>>>
    WorkRef(F& f) : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))), call_([](void* o) { (*static_cast<F*>(o))(); }) {}
    void operator()() const { call_(object_); }

private:
    void* object_;
    void (*call_)(void*);
};

// Runs `work` on the calling thread and, at the same time, on up to `helpers` threads of the
// pool; returns when every call of it has returned. `work` shares its task out itself (each
// call claims pieces from a common counter until none is left), so a helper that joins late,
// or none at all (the pool busy with another caller, no thread to be had), only makes the job
// slower. The first exception thrown by any call is rethrown here once all have returned.
void shareWork(unsigned helpers, WorkRef work);
// The same, with the calling thread running `own` instead (work that must stay on the caller,
// such as drawing, taking part of the shared task while it waits for the helpers' results).
void shareWork(unsigned helpers, WorkRef work, WorkRef own);

// The helpers a job may ask for: one less than the cores, at most 7.
unsigned spareCores();

// Helpers are lent only while cores are free: the cores less the threads the system has running
// or ready to run. Tests replace that count (an empty function restores the system's).
void setFreeCoresSource(std::function<unsigned()> source);

}  // namespace qv::kernel
