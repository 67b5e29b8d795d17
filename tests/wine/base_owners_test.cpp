// The owners of base/ on real handles: a kernel handle is closed once, by
// the owner that holds it last; a memory context is deleted, and the object
// selected into it is back out before it goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>

#include "base/dc_win.h"
#include "base/owned_handle.h"

namespace {

bool is_open(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

HANDLE new_event()
{
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace

TEST(Owners, AKernelHandleIsClosedOnceByItsLastOwner)
{
    struct Case {
        const char* what;
        // Works on an owner of `first`, given `second`; returns the owner
        // the handle held went to, if any.
        std::function<OwnedHandle(OwnedHandle&, HANDLE second)> act;
        bool first_open, second_open;  // while both owners are still there
        bool second_owned;             // closed when they go
    } cases[] = {
        {"kept", [](OwnedHandle&, HANDLE) { return OwnedHandle(); }, true, true, false},
        {"reset to another", [](OwnedHandle& o, HANDLE s) { o.reset(s); return OwnedHandle(); }, false, true, true},
        {"reset to nothing", [](OwnedHandle& o, HANDLE) { o.reset(); return OwnedHandle(); }, false, true, false},
        {"moved away", [](OwnedHandle& o, HANDLE) { return std::move(o); }, true, true, false},
        {"moved over another",
         [](OwnedHandle& o, HANDLE s) {
             OwnedHandle other(s);
             other = std::move(o);
             return other;
         },
         true, false, true},
    };
    for (const Case& c : cases) {
        HANDLE first = new_event(), second = new_event();
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        {
            OwnedHandle owner(first);
            OwnedHandle last = c.act(owner, second);
            EXPECT_EQ(is_open(first), c.first_open) << c.what;
            EXPECT_EQ(is_open(second), c.second_open) << c.what;
            EXPECT_FALSE(owner && last) << c.what << ": one owner, not two";
        }
        EXPECT_FALSE(is_open(first)) << c.what << ": closed when its owner went";
        EXPECT_EQ(is_open(second), !c.second_owned) << c.what;
        if (!c.second_owned)
            CloseHandle(second);
    }

    HANDLE kept = new_event();
    {
        OwnedHandle owner(kept);
        EXPECT_EQ(owner.release(), kept);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(CloseHandle(kept)) << "a released handle is the caller's";
}

TEST(Owners, AMemoryContextGoesWithItsSelectionPutBack)
{
    HBITMAP picture = CreateBitmap(4, 4, 1, 1, nullptr);
    ASSERT_NE(picture, nullptr);
    HDC kept_dc = nullptr;
    {
        MemoryDC memory(CreateCompatibleDC(nullptr));
        kept_dc = memory.get();
        ASSERT_EQ(GetObjectType(kept_dc), static_cast<DWORD>(OBJ_MEMDC));
        HGDIOBJ first = GetCurrentObject(kept_dc, OBJ_BITMAP);
        {
            SelectedObject selected(kept_dc, picture);
            EXPECT_EQ(GetCurrentObject(kept_dc, OBJ_BITMAP), picture);
            SelectedObject moved(std::move(selected));
        }
        EXPECT_EQ(GetCurrentObject(kept_dc, OBJ_BITMAP), first) << "put back once, by the owner that held it";
        SelectedObject into_nothing(nullptr, picture);
    }
    EXPECT_EQ(GetObjectType(kept_dc), 0u) << "the context is deleted";
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP)) << "the picture is not deleted with it";
    EXPECT_TRUE(DeleteObject(picture));
}
