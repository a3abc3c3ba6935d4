// How the records of a trigger section are laid out, as the walk found it.
#pragma once

namespace vantor {

struct TriggerLayout {
    // The Definitive Edition's body version in hundredths (136 for 1.36);
    // 0 for the editions before it.
    int definitive = 0;

    // Texts are UTF-8 (older editions store the writer's code page).
    [[nodiscard]] bool utf8Texts() const noexcept { return definitive != 0; }
    // A trigger stores a byte behind its loop flag (run when loaded).
    [[nodiscard]] bool executeOnLoadFlag() const noexcept { return definitive >= 155; }
    // A condition ends in a String32 (a script function's name).
    [[nodiscard]] bool conditionScriptText() const noexcept { return definitive >= 140; }
    // An effect ends in two String32 behind its selected objects (the texts
    // of a decision's two options).
    [[nodiscard]] bool effectOptionTexts() const noexcept { return definitive >= 154; }
};

}  // namespace vantor
