/* The generated proxy of IDropTarget, built without compiler exceptions: mingw's RpcTryExcept
   family needs SEH, which GCC lacks. An exception raised by the marshalling ends the process, which
   for a test fixture is the right outcome. */
#define USE_COMPILER_EXCEPTIONS
#define REGISTER_PROXY_DLL
#include <rpcproxy.h>

#undef RpcTryExcept
#undef RpcExcept
#undef RpcEndExcept
#undef RpcTryFinally
#undef RpcFinally
#undef RpcEndFinally
#undef RpcExceptionCode
#define RpcTryExcept if (1)
#define RpcExcept(expr) else
#define RpcEndExcept
#define RpcTryFinally
#define RpcFinally
#define RpcEndFinally
#define RpcExceptionCode() 0

/* rpcrt4 exports them; mingw's headers do not declare them. */
HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown* This, REFIID riid, void** ppvObject);
ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown* This);
ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown* This);

#include "droptarget_p.c"
#include "dlldata.c"
