; intro.hsc: one startup script in the official kit's script language.
; tarnfold-cli compile MAP examples/intro.hsc
(script startup intro
    (sleep 30)
    (ai_place first_wave)
    (if (= (game_difficulty_get) impossible) (ai_place extra)))
