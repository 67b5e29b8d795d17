// The restore window opened from the menus, over the program's run control.
#pragma once

// Opens the restore window on the entry of the selected row of the list, or
// empty when no row is selected; at most one is open at a time.
void open_restore_window();
