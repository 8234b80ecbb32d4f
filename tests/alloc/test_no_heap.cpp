// The instrument and the power loop never touch the heap: this executable
// replaces malloc and operator new with counting versions and runs many
// thousands of passes through every screen handler with the count armed.
#include "core/keys.h"
#include "core/timebase.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/screen.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <new>
#include <stdlib.h>

extern "C" void *__libc_malloc(size_t size);
extern "C" void *__libc_calloc(size_t count, size_t size);
extern "C" void *__libc_realloc(void *p, size_t size);
extern "C" void *__libc_memalign(size_t alignment, size_t size);
extern "C" void __libc_free(void *p);

namespace {

bool counting;
unsigned long allocations;

void *counted(void *p) {
    if (counting) allocations++;
    return p;
}

} // namespace

extern "C" {
void *malloc(size_t size) {
    return counted(__libc_malloc(size));
}
void *calloc(size_t count, size_t size) {
    return counted(__libc_calloc(count, size));
}
void *realloc(void *p, size_t size) {
    return counted(__libc_realloc(p, size));
}
void *memalign(size_t alignment, size_t size) {
    return counted(__libc_memalign(alignment, size));
}
void *aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}
int posix_memalign(void **out, size_t alignment, size_t size) {
    *out = memalign(alignment, size);
    return *out ? 0 : ENOMEM;
}
void free(void *p) {
    __libc_free(p);
}
}

void *operator new(size_t size) {
    if (void *p = malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void *operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void *p) noexcept {
    free(p);
}
void operator delete[](void *p) noexcept {
    free(p);
}
void operator delete(void *p, size_t) noexcept {
    free(p);
}
void operator delete[](void *p, size_t) noexcept {
    free(p);
}

namespace {

// Counts the allocations made by `body`.
template <typename F> unsigned long allocations_in(F body) {
    allocations = 0;
    counting = true;
    body();
    counting = false;
    return allocations;
}

TEST(NoHeap, TheCounterSeesAllocations) {
    unsigned long n = allocations_in([] {
        void *volatile p = malloc(16);
        free(p);
        delete new int(1);
    });
    EXPECT_EQ(n, 2u);
}

TEST(NoHeap, PowerOnAndPassesThroughEveryScreenAllocateNothing) {
    const uint8_t keys[] = {KEY_PLUS, KEY_MINUS, KEY_PUSH, KEY_PLUS, KEY_F1, KEY_PLUS, KEY_F2};
    const panel cruise = {52000, 2300, 0};
    EXPECT_EQ(allocations_in([&] { start_program_and_power_on(cruise); }), 0u);
    temp_slider_change(2600);
    uint32_t random = 1;
    for (int s = 0; s < screen_table_size; s++) {
        unsigned long n = allocations_in([&] {
            for (int i = 0; i < 4000; i++) {
                // Back to this screen now and then, wherever the keys led.
                if (i % 200 == 0) current_screen = screen_table[s].handler;
                random = random * 1103515245u + 12345u;
                if (random >> 28 < 5) press_key(keys[(random >> 16) % sizeof keys]);
                if (random >> 29 == 7) timebase_tick();
                if (i % 500 == 250) map_slider_change((uint16_t)(1 + (random >> 8) % 4096));
                if (i % 700 == 350) rpm_slider_change((int32_t)(1 + (random >> 4) % 100000));
                power_pass(i / 1000 % 2);
            }
        });
        EXPECT_EQ(n, 0u) << "screen " << screen_table[s].name;
    }
}

} // namespace
