/* The host variants as a type, so that a misspelt one does not compile:
 * simhost_variant::editor_late for "editor-late". The rows are in
 * simhost_variants.def. */
#ifndef SIMHOST_VARIANTS_H
#define SIMHOST_VARIANTS_H

#include "simhost.h"

enum class simhost_variant : long {
#define SIMHOST_VARIANT(id, name, value, where, about) id,
#include "simhost_variants.def"
#undef SIMHOST_VARIANT
};

/* Turns the variant on (at its default value). */
inline t_max_err simhost_variant_set(simhost_variant v)
{
    return simhost_variant_set(simhost_variant_name((long)v));
}

#endif
