# Checks a grab of the client area against the picture that a lost board shows at the mines:
# each cell listed shows the flat triangle of its orientation with the mine over it, composed here
# from the icons' text pictures in res/icons. Only the pixels that no cell drawn later (on its
# right in the row, or in the next row) can paint over are compared.
# Variables: icons (the folder of the text pictures), width (of the grab), left (the x of
# column 0's picture), cells ("COLUMN,ROW ..." to check), board (a file of kelbo board's rows),
# cursor (the cell that the keyboard's cursor stands on, whose outline may show over it), flags
# (the flagged cells, whose cross on a wrong flag reaches past their triangle).
# Input: the grab as od -An -v -tx1 -w3 prints it, one pixel a line. Prints each pixel that
# differs as "COLUMN,ROW X,Y seen RRGGBB expected RRGGBB", at most 5 of them a cell.
function read_picture(name,    line, y, x, ch, legend, parts) {
    y = 0
    while ((getline line < (icons "/" name ".txt")) > 0) {
        if (line ~ /^#/ || line == "")
            continue
        if (length(line) != 32) {  # a legend line: "K black"
            split(line, parts, " ")
            legend[parts[1]] = parts[2]
            continue
        }
        for (x = 0; x < 32; x++) {
            ch = substr(line, x + 1, 1)
            if (legend[ch] != "transparent")
                picture[name, x, y] = colour[legend[ch]]
        }
        y++
    }
    close(icons "/" name ".txt")
}
function up(column, row) { return (column + row) % 2 == 0 }
function orientation(column, row) { return up(column, row) ? "up" : "down" }
# The pixel (x, y) of the client area may be painted by a cell drawn after (column, row).
function covered_later(column, row, x, y,    c, r, ax, ay, kind) {
    for (r = row; r <= row + 1 && r < rows; r++)
        for (c = (r == row ? column + 1 : column - 2); c <= column + 2; c++) {
            if (c < 0 || c >= columns || cell[c, r] == ".")
                continue
            ax = x - (left + 15 * c); ay = y - (42 + 26 * r)
            if (ax < 0 || ax > 31 || ay < 0 || ay > 31)
                continue
            if (flagged[c "," r] && ax >= 6 && ax <= 20 && ay >= 5 && ay <= 19)
                return 1
            for (kind in kinds)
                if ((kinds[kind] "_" orientation(c, r), ax, ay) in picture)
                    return 1
        }
    return 0
}
BEGIN {
    colour["black"] = "000000"; colour["white"] = "FFFFFF"; colour["silver"] = "C0C0C0"
    colour["grey"] = "808080"; colour["red"] = "FF0000"
    split("covered uncovered pressed", kinds, " ")
    split("covered_up covered_down uncovered_up uncovered_down pressed_up pressed_down mine", names, " ")
    for (i in names)
        read_picture(names[i])
    while ((getline line < board) > 0) {
        n = split(line, values, " ")
        for (c = 1; c <= n; c++)
            cell[c - 1, rows] = values[c]
        columns = n
        rows++
    }
    n = split(flags, list, " ")
    for (i = 1; i <= n; i++)
        flagged[list[i]] = 1
    n = split(cells, checked, " ")
    for (i = 1; i <= n; i++) {
        split(checked[i], at, ",")
        c = at[1] + 0; r = at[2] + 0
        ax = left + 15 * c; ay = 42 + 26 * r
        mine_top = up(c, r) ? 11 : 3
        for (y = 0; y < 32; y++)
            for (x = 0; x < 32; x++) {
                if (("mine", x - 7, y - mine_top) in picture)
                    want = picture["mine", x - 7, y - mine_top]
                else if (("uncovered_" orientation(c, r), x, y) in picture)
                    want = picture["uncovered_" orientation(c, r), x, y]
                else
                    continue
                if (covered_later(c, r, ax + x, ay + y))
                    continue
                expected[ax + x, ay + y] = want
                owner[ax + x, ay + y] = checked[i]
            }
    }
}
{
    x = (NR - 1) % width; y = int((NR - 1) / width)
    if (!((x, y) in expected))
        next
    seen = toupper($1 $2 $3)
    if (seen == "8000FF" && owner[x, y] == cursor)
        next
    if (seen != expected[x, y] && shown[owner[x, y]]++ < 5)
        print owner[x, y], x "," y, "seen", seen, "expected", expected[x, y]
}
