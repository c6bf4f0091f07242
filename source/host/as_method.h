/* Any function as the host's generic method type, for class_new,
 * class_addmethod, qelem_new and defer_low. Going through void (*)(void)
 * states that the host calls it with the arguments it really declares.
 *
 * Ours, not the host's: it stays out of max_api.h, which an SDK build
 * replaces. Include it after the host API header, which declares `method`. */
#ifndef KORVEL_HOST_AS_METHOD_H
#define KORVEL_HOST_AS_METHOD_H

#ifdef __cplusplus
template <typename F>
inline method as_method(F fn)
{
    return reinterpret_cast<method>(reinterpret_cast<void (*)(void)>(fn));
}
#endif

#endif
