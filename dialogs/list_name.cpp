#include "dialogs/list_name.h"

#include <cstring>

#include "base/notify.h"
#include "store/formats.h"

bool force_csv_extension(char (&path)[kFieldSize])
{
    const void* zero = std::memchr(path, 0, kFieldSize);
    std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - path) : kMaxText;
    // Only a "." of the name counts, not one of the folders before it.
    std::size_t name = folder_part_length(path, len);
    std::size_t cut = name + last_character(path + name, len - name, '.');
    static const char kExtension[] = ".csv";
    if (cut + sizeof kExtension - 1 > kMaxText)
        return false;
    std::memcpy(path + cut, kExtension, sizeof kExtension);
    return true;
}

bool take_chosen_list_file(char (&current_list_file)[kFieldSize], const char* chosen, const Notifier& messages)
{
    char path[kFieldSize];
    copy_field(path, chosen);
    if (!force_csv_extension(path)) {
        // Dropped without a word, the user would think the list saved.
        if (messages.show_message)
            messages.show_message(open_failure_text(chosen).c_str(), "CreateFile", MessageKind::exclamation,
                                  MessageOwner::main_window);
        return false;
    }
    copy_field(current_list_file, path);
    return true;
}
