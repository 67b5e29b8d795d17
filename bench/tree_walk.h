// The walk of a source or backup tree that the bench drivers share.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Calls on_folder for every folder of the tree (relative path, "" first) and
// on_file for every file (relative path, size), folder by folder.
inline void walk_tree(const std::string& root, const std::string& relative,
                      const std::function<void(const std::string&)>& on_folder,
                      const std::function<void(const std::string&, unsigned long long)>& on_file)
{
    on_folder(relative);
    std::vector<std::string> children;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + relative + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (data.cFileName[0] == '.')
            continue;
        std::string path = relative + "\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            children.push_back(path);
        else
            on_file(path, (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    for (const auto& child : children)
        walk_tree(root, child, on_folder, on_file);
}
