#include "engine/AppState.h"

AppState& appState() {
    static AppState state;
    return state;
}
