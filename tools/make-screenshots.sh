#!/usr/bin/env bash
# Renders the README's pictures with vemar-snapshot: the real windows,
# offscreen, at a fixed date and time.
set -euo pipefail
build=${1:-build}
out=docs
snap="$build/vemar-snapshot"
at=2024-06-21T22:00:00

fresh() { local d; d=$(mktemp -d); cp data/* "$d"/; echo "$d"; }
# A new user's first start in Rome, as the installed program makes it: the
# cities on the zone database, the date markers shown from the first tick.
first=(--zone Europe/Rome --first-start data)
# The standard date markers, as the date characters dialog's Default sets them.
markers=(--do click:Form1.CarDat --do click:Form8.SSCommand3 --do click:Form8.SSCommand2)

"$snap" --dir "$(mktemp -d)" "${first[@]}" --at "$at" --ticks 60 --png "$out/main-first-start.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 "${markers[@]}" --do click:Form1.GScuro \
    --do click:Form1.Rscuro2 --do ticks:10 --png "$out/main-dark.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 "${markers[@]}" --do click:Form1.GScuro \
    --do click:Form1.colorig --do ticks:10 --png "$out/main-original-colours.png"
"$snap" --dir "$(fresh)" --at 2024-06-21T22:00:01 --ticks 1 --png "$out/startup-picture.png"
# Finding a city by its first letters, the suggestions open under the box.
"$snap" --dir "$(mktemp -d)" "${first[@]}" --at "$at" --ticks 60 --do click:Form1.Tabfu \
    --do "type:Form5.Text2(3)=San" --png "$out/zone-editor.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 --do click:Form1.Tabtip --png "$out/class-editor.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 --do click:Form1.CarDat --do type:Form8.Text1=# \
    --png "$out/date-characters.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 --do click:Form1.Param --png "$out/parameters.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 --do click:Form1.Orlega --png "$out/summer-time-rule.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 --do "click:Form1.info(5)" --png "$out/information.png"
"$snap" --dir "$(fresh)" --at "$at" --ticks 60 --do "click:Form1.help(6)" --png "$out/help.png"
