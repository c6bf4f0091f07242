{
	"patcher" : 	{
		"fileversion" : 1,
		"rect" : [ 100.0, 100.0, 640.0, 480.0 ],
		"boxes" : [ 			{
				"box" : 				{
					"id" : "obj-1",
					"maxclass" : "newobj",
					"numinlets" : 2,
					"numoutlets" : 8,
					"patching_rect" : [ 30.0, 30.0, 120.0, 22.0 ],
					"text" : "vst~ \"C:/VST/My Synth.dll\"",
					"varname" : "synth"
				}

			}
, 			{
				"box" : 				{
					"id" : "obj-2",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"patching_rect" : [ 30.0, 80.0, 120.0, 22.0 ],
					"saved_object_attributes" : 					{
						"debug" : 0,
						"stayontop" : 1
					}
,
					"text" : "qzkorvel synth",
					"varname" : "editor"
				}

			}
, 			{
				"box" : 				{
					"id" : "obj-3",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 4,
					"patching_rect" : [ 200.0, 80.0, 120.0, 22.0 ],
					"restore" : 					{
						"editor" : [ 300, 200, 640, 480, 1 ]
					}
,
					"text" : "autopattr",
					"varname" : "u123000001"
				}

			}
 ],
		"lines" : [  ]
	}

}
