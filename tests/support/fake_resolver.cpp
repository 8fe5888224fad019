// SPDX-License-Identifier: MIT
#include "fake_resolver.h"

#include <gio/gio.h>

namespace kwirl::test {

namespace {

std::map<std::string, std::string>& table() {
    static std::map<std::string, std::string> names;
    return names;
}
int lookups = 0;

GList* answer(const gchar* hostname, GError** error) {
    ++lookups;
    const auto found = table().find(hostname);
    if (found == table().end()) {
        g_set_error(error, G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND, "no such host: %s", hostname);
        return nullptr;
    }
    return g_list_append(nullptr, g_inet_address_new_from_string(found->second.c_str()));
}

}  // namespace

extern "C" {
typedef struct {
    GResolver parent;
} KwirlFakeResolver;
typedef struct {
    GResolverClass parent_class;
} KwirlFakeResolverClass;
G_DEFINE_TYPE(KwirlFakeResolver, kwirl_fake_resolver, G_TYPE_RESOLVER)

static GList* fake_lookup_by_name(GResolver*, const gchar* hostname, GCancellable*, GError** error) {
    return answer(hostname, error);
}

static void fake_lookup_by_name_with_flags_async(GResolver* resolver, const gchar* hostname, GResolverNameLookupFlags,
                                                 GCancellable* cancellable, GAsyncReadyCallback callback,
                                                 gpointer data) {
    GTask* task = g_task_new(resolver, cancellable, callback, data);
    if (const auto found = table().find(hostname); found != table().end() && found->second.empty()) {
        // A lookup that never answers: it ends only when it is cancelled.
        ++lookups;
        g_task_run_in_thread(task, [](GTask* waiting, gpointer, gpointer, GCancellable* cancel) {
            GPollFD cancelled;
            if (cancel && g_cancellable_make_pollfd(cancel, &cancelled)) {
                g_poll(&cancelled, 1, -1);  // blocks until the cancel
                g_cancellable_release_fd(cancel);
            }
            g_task_return_error_if_cancelled(waiting);
        });
        g_object_unref(task);
        return;
    }
    GError* error = nullptr;
    GList* addresses = answer(hostname, &error);
    // Answered from the main loop, as a real lookup would be.
    if (addresses) g_task_return_pointer(task, addresses, reinterpret_cast<GDestroyNotify>(g_resolver_free_addresses));
    else
        g_task_return_error(task, error);
    g_object_unref(task);
}

static void fake_lookup_by_name_async(GResolver* resolver, const gchar* hostname, GCancellable* cancellable,
                                      GAsyncReadyCallback callback, gpointer data) {
    fake_lookup_by_name_with_flags_async(resolver, hostname, G_RESOLVER_NAME_LOOKUP_FLAGS_DEFAULT, cancellable,
                                         callback, data);
}

static GList* fake_lookup_finish(GResolver*, GAsyncResult* result, GError** error) {
    return static_cast<GList*>(g_task_propagate_pointer(G_TASK(result), error));
}

static void kwirl_fake_resolver_init(KwirlFakeResolver*) {}

static void kwirl_fake_resolver_class_init(KwirlFakeResolverClass* klass) {
    GResolverClass* resolver = G_RESOLVER_CLASS(klass);
    resolver->lookup_by_name = fake_lookup_by_name;
    resolver->lookup_by_name_async = fake_lookup_by_name_async;
    resolver->lookup_by_name_finish = fake_lookup_finish;
    resolver->lookup_by_name_with_flags_async = fake_lookup_by_name_with_flags_async;
    resolver->lookup_by_name_with_flags_finish = fake_lookup_finish;
}
}

void installFakeResolver(const std::map<std::string, std::string>& names) {
    table() = names;
    GResolver* resolver = G_RESOLVER(g_object_new(kwirl_fake_resolver_get_type(), nullptr));
    g_resolver_set_default(resolver);
    g_object_unref(resolver);
}

int fakeResolverLookups() { return lookups; }

}  // namespace kwirl::test
