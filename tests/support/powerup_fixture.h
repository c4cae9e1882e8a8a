// SPDX-License-Identifier: GPL-3.0-or-later
// The powerup suites' game: a MEDIUM paddle at rest, one ball in flight, capsules placed by hand
// and caught at once, with white stand-ins of the real pictures' sizes.
#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "game/world.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/dynamic_text.h"
#include "play/powerup.h"
#include "tests/support/test_support.h"

class Powerups : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_input();
        seed_rnd(4242);
        // Pictures of the real sizes, made once: images live for the whole run.
        static const Assets pictures = [] {
            Assets a;
            for (Image& capsule : a.powerup_images) capsule = white_image(32, 32, true);
            a.paddle_left = a.paddle_right = white_image(19, 15, false);
            a.paddle_center = white_image(1, 15, false);
            a.ball_normal = white_image(14, 14, true);
            a.forcefield = white_image(800, 22, false);
            a.button_hover_sound = make_test_sound(2000);
            return a;
        }();
        world = std::make_unique<World>();
        world->assets = pictures;
        world->attract_mode = 0;
        world->lives = 3;
        world->powerup_gravity = 0.08f;
        place_medium_paddle(*world);
        add_ball(400, 300);
    }
    void TearDown() override { reset_input(); }

    // A ball in flight; it becomes the current ball, as the last one the ball update handled.
    Tball& add_ball(float x, float y, BallMode mode = BallMode::normal, int size = ball_size_normal, float speed = 5,
                    float angle = 30)
    {
        create_ball(*world, x, y, mode, size, speed, angle, 1, 1);
        world->current_ball = &world->ball_list.back();
        return world->ball_list.back();
    }

    void add_brick(int kind)
    {
        Tbrick brick;
        brick.id = static_cast<int>(world->brick_list.size()) + 1;
        brick.num = kind;
        brick.powerup = -1;
        brick.x = 100;
        brick.y = 100;
        world->brick_list.push_back(brick);
    }

    // A capsule resting right on the paddle, fully faded in: the next update catches it.
    void capsule_on_paddle(int num)
    {
        Tpowerup capsule;
        capsule.num = num;
        capsule.x = 400;
        capsule.y = 570;
        capsule.fade = 1;
        world->powerup_list.push_back(capsule);
        world->powerup_gravity = 0;
    }

    void catch_powerup(int num)
    {
        capsule_on_paddle(num);
        update_powerups(*world);
        ASSERT_TRUE(world->powerup_list.empty()) << powerup_name(num) << " was not caught";
    }

    std::string last_text() const
    {
        return world->dynamic_text_list.empty() ? "(none)" : world->dynamic_text_list.back().msg;
    }

    std::unique_ptr<World> world;
};
