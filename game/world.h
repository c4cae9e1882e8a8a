// SPDX-License-Identifier: GPL-3.0-or-later
// The World: every piece of game-wide state and every entity list, created once per run and
// passed by reference. Each subsystem declares its own part beside its functions (BallState in
// play/ball.h, ...); the World is all of them, so every field keeps its own name: world.score,
// world.ball_list. Nothing in play/, ui/ or core/ keeps mutable state elsewhere; the platform
// keeps only its device handles, the drawing state and the random generator.
//
// Entity lists are std::list: an object appended during a walk is visited by the rest of that
// walk, an object that expires erases itself and the walk goes on with the next, and a
// reference to the object being worked on stays valid while it is.
#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "core/assets.h"
#include "core/font.h"
#include "core/helpers.h"
#include "game/autoplay.h"
#include "game/game_flow.h"
#include "game/level_play.h"
#include "game/replay.h"
#include "game/startup.h"
#include "play/access.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/bullet_shell.h"
#include "play/dynamic_text.h"
#include "play/explosion.h"
#include "play/explosive_sound.h"
#include "play/glow_particle.h"
#include "play/level.h"
#include "play/nuke_boom.h"
#include "play/pace.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "play/shrapnel.h"
#include "play/spark.h"
#include "ui/access_screen.h"
#include "ui/assisted_scores.h"
#include "ui/hud.h"
#include "ui/level_sets.h"
#include "ui/menu_choices.h"
#include "ui/menu_screens.h"
#include "ui/name_scan.h"
#include "ui/settings.h"
#include "ui/widgets.h"

struct World : MenuLoopState,
               GameFlowState,
               HelperState,
               BallState,
               BrickState,
               PaddleState,
               PowerupState,
               WeaponState,
               BulletShellState,
               NukeBoomState,
               GlowParticleState,
               ExplosiveSoundState,
               ExplosionState,
               SparkState,
               ShrapnelState,
               DynamicTextState,
               FontState,
               HudState,
               MenuScreenState,
               MenuChoicesState,
               WidgetState,
               SettingsState,
               NameScanState,
               AutoplayState,
               ReplayState,
               AccessScreenState,
               PaceState,
               AssistedScoreState,
               SetGameState,
               LevelSetMenuState {
    // The level set and the live bricks.
    std::vector<Tlevel> level_list;   // filled once from levels.dat; only `complete` changes
    Tlevel* current_level = nullptr;
    std::string level_name;           // the name of the level being played

    Assets assets;
    Taccess access;   // the player's game speed, assists and other settings for play
};

// A fresh World with this run's levels, pictures, fonts and volumes, and nothing else: its
// settings were never loaded, so it never saves them.
std::unique_ptr<World> world_sharing_media(const World& loaded);
