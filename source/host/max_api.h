/* The host API as the module sees it: the types, constants and C calls of
 * MaxAPI.dll under their SDK names and signatures. Declarations only.
 *
 * Any MaxAPI implementation (the real host, or the simulated one in simhost/)
 * provides these symbols with C linkage. Code includes this header by its
 * bare name, so that an include path can put the SDK's own headers in its
 * place (sdk/max_api.h): everything the module uses is declared as the SDK
 * declares it, and the module compiles to the same objects against either. */
#ifndef KORVEL_HOST_MAX_API_H
#define KORVEL_HOST_MAX_API_H

#include <stddef.h>
#include <stdint.h>

#include "common_symbols.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Callers see the calls without dllimport, as the SDK declares them: a call
 * goes through the import library's thunk, the code the SDK gives. */
#if defined(_WIN32)
#  if defined(MAXAPI_BUILDING)
#    define MAXAPI __declspec(dllexport)
#  else
#    define MAXAPI
#  endif
#  define C74_EXPORT __declspec(dllexport)
#else
#  define MAXAPI __attribute__((visibility("default")))
#  define C74_EXPORT __attribute__((visibility("default")))
#endif

/* ---- basic types ---- */

typedef intptr_t t_atom_long;
typedef double t_atom_float;
typedef intptr_t t_max_err;
typedef char *t_ptr;
typedef uintptr_t t_ptr_size;
typedef void *(*method)(void *);
typedef uintptr_t t_getbytes_size;

enum {
    MAX_ERR_NONE = 0,
    MAX_ERR_GENERIC = -1,
};

/* What an assist method is asked about, and the longest text it may give. */
enum t_assist_function {
    ASSIST_INLET = 1,
    ASSIST_OUTLET
};

enum {
    ASSIST_MAX_STRING_LEN = 500
};

typedef struct messlist t_messlist;
struct inlet;
struct outlet;

/* Every object record starts with this header. */
typedef struct object {
    t_messlist *o_messlist;
    t_atom_long o_magic;
    struct inlet *o_inlet;
    struct outlet *o_outlet;
} t_object;

typedef struct symbol {
    char *s_name;
    t_object *s_thing;
} t_symbol;

union word {
    t_atom_long w_long;
    t_atom_float w_float;
    t_symbol *w_sym;
    t_object *w_obj;
};

typedef struct atom {
    short a_type;
    union word a_w;
} t_atom;

typedef struct _rect {
    double x, y, width, height;
} t_rect;

typedef struct _pt {
    double x, y;
} t_pt;

typedef struct maxclass t_class;
typedef struct hashtab t_hashtab;
typedef struct string t_string;

enum e_max_atomtypes {
    A_NOTHING = 0,
    A_LONG = 1,
    A_FLOAT = 2,
    A_SYM = 3,
    A_OBJ = 4,
    A_DEFLONG = 5,
    A_DEFFLOAT = 6,
    A_DEFSYM = 7,
    A_GIMME = 8,
    A_CANT = 9,
};

/* Record sizes as the host lays them out on 64-bit. */
#if defined(__cplusplus)
#  define KORVEL_STATIC_ASSERT(cond, why) static_assert(cond, why)
#else
#  define KORVEL_STATIC_ASSERT(cond, why) _Static_assert(cond, why)
#endif
#if UINTPTR_MAX == UINT64_MAX
KORVEL_STATIC_ASSERT(sizeof(t_object) == 32, "t_object is four pointer-sized fields");
KORVEL_STATIC_ASSERT(sizeof(t_symbol) == 16, "t_symbol is a name and a thing");
KORVEL_STATIC_ASSERT(sizeof(t_atom) == 16, "t_atom is a short type, padding and an 8-byte union");
KORVEL_STATIC_ASSERT(sizeof(t_rect) == 32, "t_rect is four doubles");
KORVEL_STATIC_ASSERT(sizeof(t_pt) == 16, "t_pt is two doubles");
#endif

/* ---- common symbols ----
 * The host's table of ready-made symbols, laid out as the host lays it out
 * (common_symbols.h lists every entry). Code reaches the entries through the
 * _sym_<text> macros, which read the table fetched at load into
 * _common_symbols (defined once by each program or module that uses it). */

typedef struct _common_symbols_table {
    long version;
#define KORVEL_COMMON_SYMBOL_FIELD(text) t_symbol *s_##text;
    KORVEL_COMMON_SYMBOLS(KORVEL_COMMON_SYMBOL_FIELD)
#undef KORVEL_COMMON_SYMBOL_FIELD
} t_common_symbols_table;

#if UINTPTR_MAX == UINT64_MAX
KORVEL_STATIC_ASSERT(sizeof(t_common_symbols_table) == 8 + 8 * KORVEL_COMMON_SYMBOL_COUNT,
                     "the common-symbol table is a version and 1454 entries");
KORVEL_STATIC_ASSERT(offsetof(t_common_symbols_table, s_free) == 3600, "the host keeps free at byte 3600");
KORVEL_STATIC_ASSERT(offsetof(t_common_symbols_table, s_varname) == 11280, "the host keeps varname at byte 11280");
#endif

extern t_common_symbols_table *_common_symbols;

#define _sym_nothing (_common_symbols->s_nothing)
#define _sym_bang (_common_symbols->s_bang)
#define _sym_int (_common_symbols->s_int)
#define _sym_float (_common_symbols->s_float)
#define _sym_list (_common_symbols->s_list)
#define _sym_symbol (_common_symbols->s_symbol)
#define _sym_anything (_common_symbols->s_anything)
#define _sym_set (_common_symbols->s_set)
#define _sym_char (_common_symbols->s_char)
#define _sym_long (_common_symbols->s_long)
#define _sym_box (_common_symbols->s_box)
#define _sym_nobox (_common_symbols->s_nobox)
#define _sym_patcher (_common_symbols->s_patcher)
#define _sym_free (_common_symbols->s_free)
#define _sym_varname (_common_symbols->s_varname)
#define _sym_attr_modified (_common_symbols->s_attr_modified)
#define _sym_open (_common_symbols->s_open)
#define _sym_wclose (_common_symbols->s_wclose)
#define _sym_rect (_common_symbols->s_rect)
#define _sym_firstview (_common_symbols->s_firstview)
#define _sym_insertboxtext (_common_symbols->s_insertboxtext)
#define _sym_locked (_common_symbols->s_locked)
#define _sym_redraw (_common_symbols->s_redraw)
#define _sym_dirty (_common_symbols->s_dirty)
#define _sym_modified (_common_symbols->s_modified)

MAXAPI t_common_symbols_table *common_symbols_gettable(void);

/* ---- symbols ---- */
MAXAPI t_symbol *gensym(const char *s);
MAXAPI t_symbol *gensym_tr(const char *s);

/* ---- classes ---- */
MAXAPI t_class *class_new(const char *name, method mnew, method mfree, long size, method mmenu, short type, ...);
MAXAPI t_max_err class_addmethod(t_class *c, method m, const char *name, ...);
MAXAPI t_max_err class_register(t_symbol *name_space, t_class *c);
MAXAPI void *class_extra_lookup(t_class *c, t_symbol *s);
MAXAPI t_max_err hashtab_lookup(t_hashtab *x, t_symbol *key, t_object **val);
MAXAPI t_object *attr_offset_new(const char *name, t_symbol *type, long flags, method mget, method mset, long offset);
MAXAPI t_max_err class_addattr(t_class *c, t_object *attr);
MAXAPI t_max_err class_attr_addattr_parse(t_class *c, const char *attrname, const char *attrname2, t_symbol *type, long flags, const char *parsestr);
MAXAPI t_max_err class_attr_addattr_format(t_class *c, const char *attrname, const char *attrname2, t_symbol *type, long flags, const char *fmt, ...);
MAXAPI t_max_err object_addattr_parse(t_object *x, const char *attrname, t_symbol *type, long flags, const char *parsestr);

/* ---- objects ---- */
MAXAPI void *object_alloc(t_class *c);
MAXAPI t_max_err object_free(void *x);
MAXAPI void *outlet_new(void *x, const char *type);
MAXAPI void attr_args_process(void *x, short ac, t_atom *av);
MAXAPI t_max_err object_obex_lookup(void *x, t_symbol *key, t_object **val);
MAXAPI void *object_method_imp(void *x, void *sym, void *p1, void *p2, void *p3, void *p4, void *p5, void *p6, void *p7, void *p8);
MAXAPI t_symbol *object_classname(void *x);
MAXAPI long object_classname_compare(void *x, t_symbol *name);

/* ---- deferral and queue elements ---- */
MAXAPI void *defer_low(void *ob, method fn, t_symbol *sym, short argc, t_atom *argv);
MAXAPI void *qelem_new(void *obj, method fn);
MAXAPI void qelem_set(void *q);
MAXAPI void qelem_unset(void *q);
MAXAPI void qelem_free(void *q);

/* ---- outlets and atoms ---- */
MAXAPI void *outlet_anything(void *o, t_symbol *s, short ac, t_atom *av);
MAXAPI void *outlet_bang(void *o);
MAXAPI void *outlet_int(void *o, t_atom_long n);
MAXAPI void *outlet_float(void *o, double f);
MAXAPI void *outlet_list(void *o, t_symbol *s, short ac, t_atom *av);
MAXAPI t_max_err atom_setsym(t_atom *a, t_symbol *s);
MAXAPI t_max_err atom_setlong(t_atom *a, t_atom_long b);
MAXAPI t_max_err atom_setfloat(t_atom *a, double b);
MAXAPI t_symbol *atom_getsym(const t_atom *a);
MAXAPI t_atom_long atom_getlong(const t_atom *a);
MAXAPI t_atom_float atom_getfloat(const t_atom *a);
MAXAPI long atom_gettype(const t_atom *a);

/* ---- attributes ---- */
MAXAPI t_symbol *object_attr_getsym(void *x, t_symbol *s);
MAXAPI t_atom_long object_attr_getlong(void *x, t_symbol *s);
MAXAPI t_object *object_attr_getobj(void *x, t_symbol *s);
MAXAPI t_max_err object_attr_setlong(void *x, t_symbol *s, t_atom_long c);
MAXAPI t_max_err object_attr_getvalueof(void *x, t_symbol *s, long *argc, t_atom **argv);
MAXAPI t_max_err object_attr_get_rect(t_object *o, t_symbol *name, t_rect *rect);

/* ---- the state system (pattr) ---- */
MAXAPI t_max_err object_getvalueof(void *x, long *ac, t_atom **av);
MAXAPI t_max_err object_setvalueof(void *x, long ac, t_atom *av);

/* ---- time ---- */
typedef uint32_t t_uint32;
/* The operating system's time in milliseconds, as a count that wraps. */
MAXAPI t_uint32 systime_ms(void);

/* ---- memory ---- */
MAXAPI t_ptr sysmem_newptr(t_ptr_size size);
MAXAPI void sysmem_freeptr(void *ptr);
MAXAPI char *getbytes(t_getbytes_size size);
MAXAPI void freebytes(void *b, t_getbytes_size size);
/* The host's getbytes and sysmem memory are one: callers reach getbytes
 * through sysmem, as the host's own headers have them. */
#define getbytes(size) ((char *)sysmem_newptr((t_ptr_size)(size)))
#define freebytes(p, size) sysmem_freeptr((char *)(p))

/* ---- observation ---- */
MAXAPI t_max_err object_attach_byptr_register(void *x, void *object_to_attach, t_symbol *name_space);
MAXAPI t_max_err object_detach_byptr(void *x, void *registered);
MAXAPI t_max_err object_notify(void *x, t_symbol *s, void *data);

/* ---- boxes and strings ---- */
MAXAPI t_object *jbox_get_object(t_object *box);
MAXAPI t_string *string_new(const char *psz);
MAXAPI void string_append(t_string *x, const char *s);
MAXAPI const char *string_getptr(t_string *x);

/* ---- console ---- */
MAXAPI void post(const char *fmt, ...);
MAXAPI void error(const char *fmt, ...);
MAXAPI void object_post(t_object *x, const char *s, ...);
MAXAPI void object_error(t_object *x, const char *s, ...);
MAXAPI void object_warn(t_object *x, const char *s, ...);

/* ---- screen ---- */
MAXAPI void jmouse_getposition_global(int *x, int *y);
MAXAPI void jmonitor_getdisplayrect_forpoint(long workarea, t_pt pt, t_rect *rect);
MAXAPI void jmonitor_getdisplayrect_foralldisplays(long workarea, t_rect *rect);
MAXAPI int jgraphics_ptinrect(t_pt pt, t_rect rect);
MAXAPI double jmonitor_getdisplayscalefactor(long displayindex);
MAXAPI double jmonitor_getdisplayscalefactor_forpoint(t_pt pt);
MAXAPI t_pt jmonitor_scale_pt(t_pt unscaled_pt);
MAXAPI t_pt jmonitor_unscale_pt(t_pt scaled_pt);

/* ---- the module's entry point, which the host calls once on loading it ---- */
C74_EXPORT void ext_main(void *r);

#ifdef __cplusplus
}
#endif

#endif
