// The one context of long-lived objects.
#include "shell/app_context.h"

AppContext& appContext() {
    static AppContext context;
    return context;
}
