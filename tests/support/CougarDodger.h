#ifndef PONDQUEST_TESTS_COUGARDODGER_H
#define PONDQUEST_TESTS_COUGARDODGER_H

class CObject;
class FrameDriver;

// A scripted player for level two. Cougars soon race along x far faster than a duckling
// runs, but creep along z, so each one sweeps a band of z: its box, or for a circling
// cougar the whole circle. The dodger keeps to the z farthest from every band, moving
// there along z with the mouse and W, waits (braking with S) at the edge of a band while
// its cougar is near, and stands still once it is there.
//
//   CougarDodger dodger;
//   while (world->state == LevelTwoPlay) { dodger.Steer(driver, world->levelTwoTerrain, dt); ... }
class CougarDodger {
public:
    CougarDodger();

    // Sets this frame's mouse motion, W and S; call before each frame of length dt.
    void Steer(FrameDriver& driver, CObject* levelRoot, float dt);
    // Distance along z from z to the nearest band of the live cougars under levelRoot.
    static float Clearance(CObject* levelRoot, float z);

    float targetZ;
    int moves;  // frames spent running to a new place
    int waits;  // frames spent waiting for a cougar to pass before crossing its path
};

#endif
