// The stored fields of an effect and of a condition, by their places: the
// names that the trigger reader, the report's rows and the tests' scenario
// builder share.  A record stores its field count, then that many int32
// fields; the editions before the Definitive Edition store the first 23 of an
// effect and the first 16 of a condition, with the same meaning; each later
// version appends fields and never moves one.
#pragma once

#include <cstdint>

namespace vantor {

enum class EffectField : std::uint8_t {
    aiScriptGoal = 0,
    amount = 1,
    resource = 2,
    diplomacy = 3,
    selectedCount = 4,  // how many selected objects follow the texts (-1 counts as 0)
    locationObject = 5,
    object = 6,
    player = 7,
    targetPlayer = 8,
    technology = 9,
    stringId = 10,
    unknown11 = 11,
    displayTime = 12,
    trigger = 13,
    locationX = 14,
    locationY = 15,
    areaX1 = 16,
    areaY1 = 17,
    areaX2 = 18,
    areaY2 = 19,
    unitGroup = 20,
    unitType = 21,
    panelPosition = 22,
    // The Definitive Edition's (1.36 and later, unless told).
    attackStance = 23,
    timeUnit = 24,
    enabled = 25,
    food = 26,
    wood = 27,
    stone = 28,
    gold = 29,
    item = 30,
    flashObject = 31,
    forceResearch = 32,
    visibility = 33,
    scroll = 34,
    operation = 35,
    object2 = 36,
    buttonLocation = 37,
    aiSignal = 38,
    unknown39 = 39,
    objectAttribute = 40,
    variable = 41,
    timer = 42,
    facet = 43,
    locationObjectId = 44,
    playSound = 45,
    playerColour = 46,  // 1.40
    unknown47 = 47,
    colourMood = 48,  // 1.42
    resetTimer = 49,  // 1.44
    objectState = 50,
    actionType = 51,
    resource1 = 52,  // 1.54
    resource1Amount = 53,
    resource2 = 54,
    resource2Amount = 55,
    resource3 = 56,
    resource3Amount = 57,
    decision = 58,
    optionStringId1 = 59,
    optionStringId2 = 60,
    variable2 = 61,
    maxUnitsAffected = 62,  // 1.55
    disableGarrisonUnloadSound = 63,
    hotkey = 64,
    trainTime = 65,
    localTechnology = 66,
    disableSound = 67,
    unitGroup2 = 68,
    unitType2 = 69,
    amountFloat = 70,  // a float32 in an int32's place
    facet2 = 71,
    globalSound = 72,
    issueGroupCommand = 73,  // 1.56
    queueAction = 74,
    mutualDiplomacy = 75,  // 1.57
    buildingList = 76,
    wallX1 = 77,
    wallY1 = 78,
    wallX2 = 79,
    wallY2 = 80,
    objectFilter = 81,  // 1.58
    tagColourForIcon = 82,
};

enum class ConditionField : std::uint8_t {
    amount = 0,
    resource = 1,
    unitObject = 2,
    nextObject = 3,
    object = 4,
    player = 5,
    technology = 6,
    timer = 7,
    trigger = 8,  // 1.54 (not used before)
    areaX1 = 9,
    areaY1 = 10,
    areaX2 = 11,
    areaY2 = 12,
    unitGroup = 13,
    unitType = 14,
    aiSignal = 15,
    // The Definitive Edition's (1.36 and later, unless told).
    inverted = 16,
    unknown17 = 17,
    variable = 18,
    comparison = 19,
    targetPlayer = 20,
    unitAiAction = 21,  // 1.40
    unknown22 = 22,
    objectState = 23,  // 1.42
    timerId = 24,      // 1.46
    victoryTimerType = 25,
    includeChangeableWeaponObjects = 26,
    decision = 27,  // 1.54
    decisionOption = 28,
    variable2 = 29,
    localTechnology = 30,  // 1.55
    unitGroup2 = 31,
    unitType2 = 32,
};

// The texts that an effect and a condition store behind their fields.
enum class EffectText : std::uint8_t { message, sound, option1, option2 };
enum class ConditionText : std::uint8_t { scriptFunction };

}  // namespace vantor
