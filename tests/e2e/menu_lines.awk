# Reads ImageMagick's txt listing of a crop of an open pop-up menu and prints one line per text
# line of the menu, top to bottom: "top bottom checked", checked 1 when the check-mark column beside
# it holds dark pixels; greyed items count, the separators do not. Anti-aliased text is merged into
# one line across gaps of up to 3 pixels.
NR > 1 {
    split($1, p, /[,:]/); split($2, c, /[(),]/)
    x = p[1] + 0; y = p[2] + 0
    if (y > last) last = y
    # A greyed item's text is mid-grey, a check mark dark.
    if (c[2] + c[3] + c[4] >= 450) next
    if (x >= 18) text[y] = 1
    else if (x >= 2 && x <= 16 && c[2] + c[3] + c[4] < 300) mark[y] = 1
}
END {
    n = 0
    for (y = 0; y <= last; y++) {
        if (!(y in text)) continue
        if (n > 0 && y - bottom[n] <= 3) { bottom[n] = y; continue }
        n++; top[n] = y; bottom[n] = y
    }
    for (i = 1; i <= n; i++) {
        if (bottom[i] - top[i] < 3) continue  # a separator's grey line
        checked = 0
        for (y = top[i] - 2; y <= bottom[i] + 2; y++) if (y in mark) checked = 1
        print top[i], bottom[i], checked
    }
}
