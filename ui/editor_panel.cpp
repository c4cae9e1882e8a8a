// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's panel: where its buttons and palette cells are, and the help line for each.
#include <array>
#include <span>

#include "play/brick.h"
#include "play/powerup.h"
#include "ui/editor_view.h"

namespace {

constexpr std::array buttons = {
    Editor_button{"PAINT", Editor_command::paint, "PAINT: CLICK OR DRAG ON THE GRID, SHIFT OFF IT, RIGHT BUTTON ERASES",
                  0, 0},
    Editor_button{"ERASE", Editor_command::erase, "ERASE: CLICK OR DRAG OVER BRICKS", 0, 1},
    Editor_button{"RECT", Editor_command::rectangle, "RECTANGLE: DRAG A BOX TO FILL WITH THE BRUSH", 0, 2},
    Editor_button{"PICK", Editor_command::picker, "PICKER: CLICK A BRICK TO TAKE ITS KIND AND CAPSULE", 0, 3},
    Editor_button{"SELECT", Editor_command::select,
                  "SELECT: CLICK OR DRAG A BOX, SHIFT ADDS, DRAG A SELECTED BRICK TO MOVE", 0, 4},
    Editor_button{"PATH", Editor_command::path, "PATH: CLICK A BRICK, THEN CLICK WAYPOINTS, DRAG ONE TO MOVE IT", 0, 5},
    Editor_button{"MIRROR", Editor_command::mirror, "MIRROR (M): EVERY STROKE ALSO ON THE OTHER SIDE OF THE MIDDLE", 0,
                  6},
    Editor_button{"FLIP H", Editor_command::flip_h, "FLIP THE SELECTION LEFT TO RIGHT (F)", 0, 7},
    Editor_button{"FLIP V", Editor_command::flip_v, "FLIP THE SELECTION TOP TO BOTTOM (SHIFT F)", 0, 8},
    Editor_button{"UNDO", Editor_command::undo, "UNDO THE LAST CHANGE (CTRL Z)", 0, 9},
    Editor_button{"REDO", Editor_command::redo, "REDO WHAT WAS UNDONE (CTRL Y)", 0, 10},
    Editor_button{"CUT", Editor_command::cut, "CUT THE SELECTION (CTRL X)", 0, 11},
    Editor_button{"COPY", Editor_command::copy, "COPY THE SELECTION (CTRL C)", 0, 12},
    Editor_button{"PASTE", Editor_command::paste, "PASTE AT THE MIDDLE OF THE FIELD, CTRL V PASTES AT THE POINTER", 0,
                  13},
    Editor_button{"DELETE", Editor_command::del, "DELETE THE SELECTION (DELETE)", 0, 14},
    Editor_button{"ALL", Editor_command::all, "SELECT EVERY BRICK (CTRL A)", 0, 15},
    Editor_button{"ADD PT", Editor_command::insert_point, "A NEW WAYPOINT AFTER THE CHOSEN ONE (INSERT)", 1, 0},
    Editor_button{"DEL PT", Editor_command::delete_point, "DELETE THE CHOSEN WAYPOINT (RIGHT BUTTON ON IT)", 1, 1},
    Editor_button{"SLOWER", Editor_command::slower, "THE MOVING BRICK SLOWER (COMMA)", 1, 2},
    Editor_button{"FASTER", Editor_command::faster, "THE MOVING BRICK FASTER (PERIOD)", 1, 3},
    Editor_button{"TEST", Editor_command::test, "PLAY THIS LEVEL NOW, THEN COME BACK (T)", 1, 4},
    Editor_button{"SAVE", Editor_command::save, "SAVE THE SET (CTRL S)", 1, 5},
    Editor_button{"LEVELS", Editor_command::levels, "THE SET: ITS LEVELS, NAMES, TITLE AND AUTHOR (TAB)", 1, 6},
    Editor_button{"LEAVE", Editor_command::leave, "BACK TO THE MENUS (ESCAPE)", 1, 7},
    Editor_button{"ADD", Editor_command::add_level, "A NEW EMPTY LEVEL AFTER THIS ONE", 2, 0},
    Editor_button{"DOUBLE", Editor_command::duplicate_level, "A COPY OF THIS LEVEL AFTER IT", 2, 1},
    Editor_button{"DELETE", Editor_command::delete_level, "DELETE THIS LEVEL", 2, 2},
    Editor_button{"EARLIER", Editor_command::level_earlier, "MOVE THIS LEVEL ONE PLACE EARLIER", 2, 3},
    Editor_button{"LATER", Editor_command::level_later, "MOVE THIS LEVEL ONE PLACE LATER", 2, 4},
    Editor_button{"THEME", Editor_command::theme, "DRAW THIS LEVEL IN THE NEXT THEME", 2, 5},
    Editor_button{"NAME", Editor_command::name, "TYPE THIS LEVEL'S NAME, RETURN ENDS", 2, 6},
    Editor_button{"TITLE", Editor_command::title, "TYPE THE SET'S TITLE, RETURN ENDS", 2, 7},
    Editor_button{"AUTHOR", Editor_command::author, "TYPE THE SET'S AUTHOR, RETURN ENDS", 2, 8},
    Editor_button{"BACK", Editor_command::back, "EDIT THE CHOSEN LEVEL (TAB)", 2, 9},
    Editor_button{"PREV", Editor_command::example_earlier, "THE EXAMPLE LEVEL BEFORE", 3, 0},
    Editor_button{"NEXT", Editor_command::example_later, "THE EXAMPLE LEVEL AFTER", 3, 1},
    Editor_button{"METAL", Editor_command::open_metal, "A COPY OF THAT METAL LEVEL AT THE END OF THE SET", 3, 3},
    Editor_button{"VOLCANO", Editor_command::open_volcano, "A COPY OF THAT VOLCANO LEVEL AT THE END OF THE SET", 3, 4},
    Editor_button{"ALIEN", Editor_command::open_alien, "A COPY OF THAT ALIEN LEVEL AT THE END OF THE SET", 3, 5},
};

// What each kind does in play, for the help line over the palette.
constexpr std::array<std::string_view, brick_kind_count> kind_help = {"PLAIN: ONE HIT",
                                                                      "PLAIN: ONE HIT",
                                                                      "PLAIN: ONE HIT",
                                                                      "PLAIN: ONE HIT",
                                                                      "SOLID: 35 HITS, NOT NEEDED TO CLEAR THE LEVEL",
                                                                      "SOFT: THE BALL PASSES THROUGH",
                                                                      "TWO HITS",
                                                                      "FIVE HITS",
                                                                      "HIDDEN UNTIL HIT, THEN ONE MORE HIT",
                                                                      "EXPLOSIVE: BREAKS ITS NEIGHBOURS",
                                                                      "THREE HITS",
                                                                      "TWO HITS",
                                                                      "ONE HIT",
                                                                      "SMALL: ONE HIT",
                                                                      "SMALL: ONE HIT",
                                                                      "SMALL: ONE HIT",
                                                                      "SMALL: ONE HIT",
                                                                      "SMALL SOFT: THE BALL PASSES THROUGH",
                                                                      "SMALL EXPLOSIVE",
                                                                      "SMALL HIDDEN UNTIL HIT"};

constexpr float set_page_buttons_y = 470;

}   // namespace

std::span<const Editor_button> editor_buttons() { return buttons; }

void editor_button_rect(const Editor_button& button, float& x, float& y, float& w, float& h)
{
    w = editor_button_w, h = editor_button_h;
    const float step = editor_button_w + editor_button_gap;
    if (button.row <= 1) {
        x = 1 + button.column * step;
        y = editor_buttons_y + button.row * (editor_button_h + 4);
    } else {
        w = 70;
        x = 15 + button.column * 78.0f;
        y = set_page_buttons_y + (button.row - 2) * 26.0f;
    }
}

const Editor_button* editor_button_at(const Editor_view& view, float x, float y)
{
    for (const Editor_button& b : buttons) {
        if ((b.row >= 2) != view.set_page) continue;
        float bx, by, bw, bh;
        editor_button_rect(b, bx, by, bw, bh);
        if (x >= bx && x < bx + bw && y >= by && y < by + bh) return &b;
    }
    return nullptr;
}

float palette_kind_x(int kind)
{
    // Wide kinds first, 42 pixels apart, then the small ones 22 apart.
    return kind <= 12 ? 10.0f + kind * 42 : 10.0f + 13 * 42 + (kind - 13) * 22;
}

int palette_kind_at(float x, float y)
{
    if (y < editor_kinds_y || y >= editor_kinds_y + 20) return -1;
    for (int kind = 0; kind < brick_kind_count; ++kind)
        if (x >= palette_kind_x(kind) && x < palette_kind_x(kind) + brick_kind_width(kind)) return kind;
    return -1;
}

bool palette_capsule_at(float x, float y, int& powerup)
{
    if (y < editor_capsules_y || y >= editor_capsules_y + editor_capsule_cell) return false;
    const int cell = static_cast<int>((x - 10) / editor_capsule_cell);
    if (x < 10 || cell > powerup_kinds) return false;
    powerup = cell - 1;
    return true;
}

bool command_lit(const Editor_view& view, Editor_command command)
{
    if (command <= Editor_command::path) return static_cast<int>(command) == static_cast<int>(view.editor.tool);
    if (command == Editor_command::mirror) return view.editor.mirror;
    if (command == Editor_command::name) return view.typing == Editor_typing::name;
    if (command == Editor_command::title) return view.typing == Editor_typing::title;
    if (command == Editor_command::author) return view.typing == Editor_typing::author;
    return false;
}

std::string editor_help_line(const Editor_view& view, float x, float y)
{
    if (const Editor_button* b = editor_button_at(view, x, y)) return std::string(b->help);
    if (!view.set_page) {
        if (const int kind = palette_kind_at(x, y); kind >= 0) return "BRUSH: " + std::string(kind_help[kind]);
        if (int powerup = -1; palette_capsule_at(x, y, powerup))
            return powerup < 0 ? "BRUSH: NO CAPSULE" : "BRUSH CAPSULE: " + powerup_name(powerup);
    }
    if (view.set_page) return "CLICK A LEVEL TO CHOOSE IT";
    return std::string(buttons[static_cast<std::size_t>(view.editor.tool)].help);
}
