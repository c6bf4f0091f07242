// A module with every fault the table check must name: a stray export and an
// export without a name (faulty_module.def), a host call that the host does
// not export (faulty_maxapi.def), one subclass call bound by name and another COMCTL32 ordinal that the module
// has no use for (faulty_comctl32.def), and the C++ runtime as a DLL.
#include <windows.h>
#include <commctrl.h>

#include <sstream>

extern "C" void *gensym(const char *);
extern "C" long object_attr_getrect(void *, void *, void *);

static LRESULT CALLBACK forward(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data)
{
    return 0;
}

extern "C" void ext_main(void *)
{
    std::ostringstream text;
    text << "faulty";
    OutputDebugStringA(text.str().c_str());
    SetWindowSubclass(nullptr, forward, 1, 0);
    RemoveWindowSubclass(nullptr, forward, 1);
    InitCommonControls();
    object_attr_getrect(nullptr, gensym("rect"), nullptr);
}

extern "C" int stray_export(void)
{
    return 1;
}

extern "C" int unnamed_export(void)
{
    return 2;
}
