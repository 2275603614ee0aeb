; mission.hsc: a short mission. Three scenario globals, a static script that
; the others call, and scripts that wait on a global and a trigger volume.
;   tarnfold-cli compile MAP examples/mission.hsc
(global short wave 0)
(global real delay 2.5)
(global boolean done false)

; Places the next wave and says how many have come.
(script static short next_wave
    (set wave (+ wave 1))
    (ai_place first_wave/grunts)
    wave)

(script dormant spawn
    (sleep (* 30 delay))
    (if (>= (next_wave) 3) (set done true)))

(script startup start
    (sleep_until (volume_test_objects entry (players)))
    (wake spawn))

(script continuous watch
    (sleep_until done)
    (print "all waves are in")
    (sleep -1))
