{
	"patcher" : {
		"boxes" : [ { "box" : { "id" : "obj-1", } } ]
	}
}
