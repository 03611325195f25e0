#pragma once

#include "procedure_fixture.h"

namespace tessel::sim {

class AutoScriptStartTest : public ProcedureTest {
protected:
    void start(UpdateMode mode) {
        ASSERT_TRUE(world.dialog.ValidateInput());
        world.dialog.StartAutoScript(mode);
    }
};

}  // namespace tessel::sim
